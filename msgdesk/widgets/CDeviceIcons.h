// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QIcon>

namespace msgdesk {

// The small-icon strip of the phonebook lists: image 0 is a contact of the
// computer's book, image d (1..16) an entry of device d's SIM card (the
// modem picture with the device number on it). Out-of-range images are null.
QIcon DeviceStripIcon(int image);

// The SIM information tree's strip: image 0 a device (its root line), image
// 1 a detail line under it. Others are null.
QIcon SimInfoStripIcon(int image);

}  // namespace msgdesk
