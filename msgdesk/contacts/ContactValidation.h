// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "contacts/ContactBook.h"
#include "platform/MessageBox.h"

namespace msgdesk {

enum class ContactEditMode { Add, Change };

// Checks a record the user entered in the contact edit dialog, in this
// order, the first failing test deciding:
//   60003  Name or Mobile empty;
//   60034  Mobile fails IsValidPhoneNumber;
//   60074  (Add only) FindContactByNumber already finds Mobile.
// Returns the string id to show, or 0 when the record is acceptable. When
// changing, a Mobile equal to another record's is accepted.
unsigned ValidateContactRecord(const ContactRecord& entered, const ContactBook& book,
                               ContactEditMode mode);

// Runs the validation and shows a refusal with the information icon and an
// OK button. True when the dialog may close.
bool AcceptContactRecord(const ContactRecord& entered, const ContactBook& book,
                         ContactEditMode mode, platform::MessageBoxPort& box);

}  // namespace msgdesk
