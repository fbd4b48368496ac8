// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QLineEdit>

namespace msgdesk {

// A line edit for phone numbers: typed characters other than 0-9 # * + are
// dropped; a paste or drop holding any other character is refused whole
// (the validator rejects the whole change), so no window is ever given a
// number the user could not have typed.
class CPhoneEdit final : public QLineEdit {
    Q_OBJECT
public:
    explicit CPhoneEdit(QWidget* parent = nullptr);
};

}  // namespace msgdesk
