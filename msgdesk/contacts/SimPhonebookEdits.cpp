// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/SimPhonebookEdits.h"

#include <memory>

#include "contacts/ContactMessageBox.h"

namespace msgdesk {

SimPhoneEntry* StoreNewSimEntry(SimPhonebook& sims, PhonebookRequests& requests, int device,
                                int index, std::string_view number, std::string_view name) {
    auto e = std::make_unique<SimPhoneEntry>();
    e->device = device;
    e->index = index;
    e->setNumber(number);
    e->setName(name);
    SimPhoneEntry* entry = sims.AppendSimEntry(std::move(e));
    if (!entry) return nullptr;
    requests.storeEntry(1, entry);
    return FindSimEntryAt(sims, device, index);
}

SimPhoneEntry* FindSimEntryAt(const SimPhonebook& sims, int device, int index) {
    for (const auto& e : sims.list(device))
        if (e->index == index) return e.get();
    return nullptr;
}

bool ChangeSimEntry(SimPhonebook& sims, PhonebookRequests& requests, SimPhoneEntry* entry,
                    std::string_view number, std::string_view name) {
    if (!entry || !sims.Contains(entry)) return false;
    requests.keepRecord(entry);
    entry->setName(name);
    entry->setNumber(number);
    requests.storeEntry(0, entry);
    return true;
}

bool DeleteSimEntry(const SimPhonebook& sims, PhonebookRequests& requests, SimPhoneEntry* entry) {
    if (!entry || !sims.Contains(entry)) return false;
    requests.deleteEntry(entry);
    return true;
}

SimPhoneEntry* CreateSimEntry(SimPhonebook& sims, PhonebookRequests& requests,
                              const PhonebookDeviceInfo& devices, platform::MessageBoxPort& box,
                              int device, std::string_view number, std::string_view name) {
    // Compare what the entry would hold, not the typed text.
    number =
        number.substr(0, platform::codepage::fitLength(number, sizeof SimPhoneEntry::number - 1));
    int index = sims.FirstFreeSimIndex(device, devices.phonebookCapacity(device));
    if (sims.FindSimEntryByNumber(device, number)) {
        ShowStringBox(box, 60074, platform::MbIcon::Information);
        return nullptr;
    }
    if (index == -1) {
        ShowStringBox(box, 60030, platform::MbIcon::Exclamation);
        return nullptr;
    }
    return StoreNewSimEntry(sims, requests, device, index, number, name);
}

bool ForgetSimEntry(SimPhonebook& sims, int device, const SimPhoneEntry* entry) {
    if (!entry || sims.DeviceOf(entry) != device) return false;
    return sims.RemoveEntry(entry);
}

bool RestoreSimEntry(SimPhonebook& sims, int device, SimPhoneEntry* entry,
                     const SimPhoneEntry& kept) {
    if (!entry || sims.DeviceOf(entry) != device) return false;
    if (kept.device != entry->device || kept.index != entry->index) return false;
    *entry = kept;
    return true;
}

}  // namespace msgdesk
