// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QIcon>

namespace msgdesk {

// The small-icon strip of the phonebook lists: image 0 is a contact of the
// computer's book, image d (1..16) an entry of device d's SIM card (the
// modem picture with the device number on it). Out-of-range images are null.
QIcon DeviceStripIcon(int image);

}  // namespace msgdesk
