// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/CPhoneEdit.h"

#include <QValidator>

#include "widgets/PhoneChars.h"

namespace msgdesk {

namespace {

class PhoneValidator final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (QChar ch : input) {
            const char16_t u = ch.unicode();
            if (u > 0x7f || !IsPhoneEditChar(char(u))) return Invalid;
        }
        return Acceptable;
    }
};

}  // namespace

CPhoneEdit::CPhoneEdit(QWidget* parent) : QLineEdit(parent) {
    setValidator(new PhoneValidator(this));
}

}  // namespace msgdesk
