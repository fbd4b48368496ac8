// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "types/SimPhoneEntry.h"

namespace msgdesk {

// What the phonebook operations ask of the main frame. In the program each
// call is a synchronous send of a window message to the main frame (see
// MainFramePhonebookRequests); tests record the calls. Entries are passed
// by identity: the handler and the pending command keep the address, and
// the answer finds exactly that entry again.
class PhonebookRequests {
public:
    virtual ~PhonebookRequests() = default;
    // UM_STORESIMENTRY: flag 1 = a new entry, 0 = a changed entry; the entry
    // is already in its device's list.
    virtual void storeEntry(int flag, SimPhoneEntry* entry) = 0;
    // UM_DELETESIMENTRY: the entry stays listed until the card confirms.
    virtual void deleteEntry(SimPhoneEntry* entry) = 0;
    // UM_KEEPRECORD with wParam 0: copy the entry into the kept copy before
    // it is changed.
    virtual void keepRecord(SimPhoneEntry* entry) = 0;
    // UM_REFRESHVIEWS: 228 rebuilds the contact pane, 227 the names shown in
    // the message list.
    virtual void refreshViews(int target) = 0;
};

}  // namespace msgdesk
