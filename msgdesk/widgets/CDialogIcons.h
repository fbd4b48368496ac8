// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QIcon>

class QPushButton;

namespace msgdesk {

// Pictures of the phonebook dialogs' buttons and windows, by resource id:
// buttons 150 cancel / delete, 153 OK, 206 exit, 207 properties, 209 new,
// 210 change; window icons 128 device, 131 contact, 214 phonebook. Null for
// any other id.
QIcon DialogIcon(int id);

// A push button with its text and picture; its accessible name is the text
// without the mnemonic '&'.
QPushButton* MakeDialogButton(const QString& text, int iconId, QWidget* parent);

// The accessible name a control takes from its label or button text: the
// text without '&', a trailing colon and the required-field star.
QString AccessibleText(QString text);

}  // namespace msgdesk
