// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QPixmap>
#include <QSize>

namespace msgdesk {

// The phone window's pictures by resource id (skin 220, buttons, ring
// pictures 700-704, digit cells 800-814, icon 271), drawn from their vector
// sources at the given size and the screen's pixel ratio, and kept.
QPixmap PhonePicture(int id, QSize size, qreal pixelRatio = 1.0);

}  // namespace msgdesk
