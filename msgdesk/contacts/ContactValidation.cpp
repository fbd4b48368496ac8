// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/ContactValidation.h"

#include "contacts/ContactMessageBox.h"
#include "contacts/PhoneNumber.h"

namespace msgdesk {

unsigned ValidateContactRecord(const ContactRecord& entered, const ContactBook& book,
                               ContactEditMode mode) {
    const std::string mobile = entered.mobile();
    if (entered.name().empty() || mobile.empty()) return 60003;
    if (!IsValidPhoneNumber(mobile)) return 60034;
    if (mode == ContactEditMode::Add && book.FindContactByNumber(mobile)) return 60074;
    return 0;
}

bool AcceptContactRecord(const ContactRecord& entered, const ContactBook& book,
                         ContactEditMode mode, platform::MessageBoxPort& box) {
    unsigned id = ValidateContactRecord(entered, book, mode);
    if (id == 0) return true;
    ShowStringBox(box, id, platform::MbIcon::Information);
    return false;
}

}  // namespace msgdesk
