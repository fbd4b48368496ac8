// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QPixmap>

namespace msgdesk {

// The store's pictures, drawn from the SVGs of store.qrc at 16x16.
// 131..138: the mailbox tree's icons (image index = id - 131).
QPixmap StoreIcon(unsigned id);
// Row image of a mailbox list: 0 a message, 1..16 a device, 17 failed by
// error answers, 18 given up after a time-out; a null pixmap otherwise.
QPixmap RowIcon(int image);
// The left pane's caption button.
QPixmap PinIcon();

}  // namespace msgdesk
