// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string_view>

#include "contacts/PhonebookDeviceInfo.h"
#include "contacts/PhonebookRequests.h"
#include "device/SimPhonebook.h"
#include "platform/MessageBox.h"

namespace msgdesk {

// The caller's side of changing a SIM card's phonebook. Every change goes
// to the card through the main frame's requests; the answers come back to
// the main frame, which undoes what the card refused (see the answer side
// below).
//
// Names longer than 22 bytes and numbers longer than 20 are cut at a
// character boundary, the NUL inside the field.

// The entry at SIM position (device, index), found again after anything that
// runs the event loop (a question, a dialog, a request whose refusal shows a
// box): the stable key of an entry, where its address may have been freed.
// nullptr when no entry of the device holds that index.
SimPhoneEntry* FindSimEntryAt(const SimPhonebook& sims, int device, int index);

// Makes an entry (device, index, number, name), appends it to its device's
// list, then asks for it to be stored as new. The entry shows at once and
// disappears again if the card refuses it. Returns the entry as found
// again at its position after the request (the request may show a box, and
// a removal meanwhile frees it), nullptr when it is gone or nothing was
// sent (a device outside 1..16).
SimPhoneEntry* StoreNewSimEntry(SimPhonebook& sims, PhonebookRequests& requests, int device,
                                int index, std::string_view number, std::string_view name);

// Keeps a copy of the entry, writes the new name and number into it (device
// and index stay) and asks for it to be stored as changed. If the card
// refuses, the old name and number come back from the kept copy. False
// (nothing sent) when the entry is in none of the lists.
bool ChangeSimEntry(SimPhonebook& sims, PhonebookRequests& requests, SimPhoneEntry* entry,
                    std::string_view number, std::string_view name);

// Asks for the entry to be deleted; it stays listed until the card
// confirms. False (nothing sent) when the entry is in none of the lists.
bool DeleteSimEntry(const SimPhonebook& sims, PhonebookRequests& requests, SimPhoneEntry* entry);

// The SIM phonebook manager's new entry on a chosen device: the number
// already on that card shows 60074 (information icon) and stores nothing;
// no free position shows 60030 (exclamation icon); otherwise the entry gets
// the first free SIM index and is stored as new. Returns the entry (found
// again at its position, see StoreNewSimEntry) or nullptr.
SimPhoneEntry* CreateSimEntry(SimPhonebook& sims, PhonebookRequests& requests,
                              const PhonebookDeviceInfo& devices, platform::MessageBoxPort& box,
                              int device, std::string_view number, std::string_view name);

// The answer side, for the main frame's UM_SIMENTRYDONE handler. Each acts
// on exactly the entry given, whatever other entries hold the same number.
//
// A confirmed delete or a refused new entry: removes and frees the entry if
// it is in device's list. False when it is not (already gone).
bool ForgetSimEntry(SimPhonebook& sims, int device, const SimPhoneEntry* entry);
// A refused change: puts the kept copy back into the entry if the entry is
// still in device's list and the kept copy is of that same position
// (device and index); a copy made for another entry since is not applied.
bool RestoreSimEntry(SimPhonebook& sims, int device, SimPhoneEntry* entry,
                     const SimPhoneEntry& kept);

}  // namespace msgdesk
