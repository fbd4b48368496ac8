// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <vector>

#include "contacts/ContactBook.h"
#include "contacts/DeviceChooser.h"
#include "contacts/PhonebookDeviceInfo.h"
#include "contacts/PhonebookRequests.h"
#include "device/SimPhonebook.h"
#include "platform/MessageBox.h"

namespace msgdesk {

struct MoveToSimResult {
    enum class Outcome {
        NoDevice,   // 60008: no device attached
        Cancelled,  // the device choice was cancelled
        NotListed,  // 60031: the card's phonebook is still being listed
        NoRoom,     // 60032: more contacts than free positions
        Done,
    };
    Outcome outcome = Outcome::NoDevice;
    int device = 0;    // the chosen device, once chosen
    int stored = 0;    // new entries appended and sent to the card
    int existing = 0;  // numbers already on the card (60029)
    int full = 0;      // contacts that found no free position (60030 each)
};

// Moves local contacts onto a SIM card (contact pane 移至SIM卡, local
// phonebook manager 存入SIM卡), the selected records in list order:
//  1. no device attached: 60008, information icon;
//  2. the device is chosen through chooser; cancel stops;
//  3. the card's phonebook not listed yet: 60031, exclamation icon;
//  4. more records than free positions (capacity - used): 60032 with the
//     free count, information icon;
//  5. per record: a number already on the card counts as existing;
//     otherwise a new entry takes the first free SIM index (60030,
//     exclamation icon, and on with the next one when there is none), is
//     appended and stored as new. Entries of one move take consecutive free
//     positions; the used count rises only as the card confirms;
//  6. existing numbers counted: 60029 with the count, information icon.
// Steps 1 to 4 change nothing. A null record counts as selected but is
// skipped (the pane passes what FindContactByNumber found for each row).
MoveToSimResult MoveContactsToSim(const std::vector<const ContactRecord*>& selected,
                                  SimPhonebook& sims, const PhonebookDeviceInfo& devices,
                                  DeviceChooser& chooser, PhonebookRequests& requests,
                                  platform::MessageBoxPort& box);

struct CopyToBookResult {
    int added = 0;
    int existing = 0;  // numbers already in the book (60029)
};

// Copies SIM entries into the contact book (SIM phonebook manager
// 导出到电脑), in the given order: each becomes a new record with Name and
// Mobile from the entry (a 22-byte name is cut to the 20 bytes of Name at a
// character boundary), the other fields empty; a number already in the book
// is skipped and counted. Afterwards 60029 with the count (information
// icon) if any were skipped, and the contact pane refresh (228) if any were
// added. Nothing goes to the card.
CopyToBookResult CopySimEntriesToBook(const std::vector<const SimPhoneEntry*>& selected,
                                      ContactBook& book, PhonebookRequests& requests,
                                      platform::MessageBoxPort& box);

}  // namespace msgdesk
