// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

#include "contacts/ContactRecord.h"
#include "contacts/ContactValidation.h"
#include "contacts/DeviceChooser.h"
#include "types/SimPhoneEntry.h"

namespace msgdesk {

// What the SIM entry dialog shows and gives back (GBK texts).
struct SimEntryInput {
    int device = 0;  // 1..16; anything else preselects the first device
    int index = 0;
    std::string name;
    std::string number;
};

// The dialogs the phonebook windows open. The program opens the real
// dialogs (modal, on the window thread); tests answer from a script.
class PhonebookDialogs : public DeviceChooser {
public:
    // The contact edit dialog, filled from record; on OK the entered fields
    // are in record (the dialog has validated them) and true is returned.
    virtual bool editContact(ContactRecord& record, ContactEditMode mode) = 0;
    // The SIM entry dialog; in change mode the device and index are fixed.
    // On OK input holds the chosen device, name and number.
    virtual bool editSimEntry(SimEntryInput& input, bool change, int attachedCount) = 0;
    virtual void showContactInfo(const ContactRecord& record) = 0;
    virtual void showSimEntryInfo(const SimPhoneEntry& entry) = 0;
    // The two managers (main frame commands 32827 and 32828).
    virtual void openLocalManager() = 0;
    virtual void openSimManager() = 0;
};

}  // namespace msgdesk
