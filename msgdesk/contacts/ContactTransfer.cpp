// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/ContactTransfer.h"

#include "contacts/ContactMessageBox.h"
#include "contacts/SimPhonebookEdits.h"
#include "device/WindowMessages.h"

namespace msgdesk {

using platform::MbIcon;
using Outcome = MoveToSimResult::Outcome;

MoveToSimResult MoveContactsToSim(const std::vector<const ContactRecord*>& selected,
                                  SimPhonebook& sims, const PhonebookDeviceInfo& devices,
                                  DeviceChooser& chooser, PhonebookRequests& requests,
                                  platform::MessageBoxPort& box) {
    MoveToSimResult result;
    const int attached = devices.attachedCount();
    if (attached < 1) {
        ShowStringBox(box, 60008, MbIcon::Information);
        result.outcome = Outcome::NoDevice;
        return result;
    }
    std::optional<int> chosen = chooser.chooseDevice(attached);
    if (!chosen || *chosen < 1 || *chosen > attached || *chosen > kMaxDevices) {
        result.outcome = Outcome::Cancelled;
        return result;
    }
    const int device = *chosen;
    result.device = device;
    // The device went while the choice was open: nothing to store on.
    if (!devices.deviceAttached(device)) {
        result.outcome = Outcome::Cancelled;
        return result;
    }
    if (!devices.phonebookListed(device)) {
        ShowStringBox(box, 60031, MbIcon::Exclamation);
        result.outcome = Outcome::NotListed;
        return result;
    }
    const int capacity = devices.phonebookCapacity(device);
    const int free = capacity - devices.phonebookUsed(device);
    if (static_cast<long long>(selected.size()) > free) {
        ShowStringBox(box, 60032, MbIcon::Information, {int64_t{free}});
        result.outcome = Outcome::NoRoom;
        return result;
    }

    for (const ContactRecord* record : selected) {
        if (!record) continue;
        // A 60030 box or a request's refusal box runs the event loop; a
        // device removed meanwhile takes the rest of the move with it.
        if (!devices.deviceAttached(device)) break;
        const std::string number = record->mobile();
        if (sims.FindSimEntryByNumber(device, number)) {
            ++result.existing;
            continue;
        }
        // Sought after the previous entry was appended, so one move fills
        // consecutive free positions.
        const int index = sims.FirstFreeSimIndex(device, capacity);
        if (index == -1) {
            ++result.full;
            ShowStringBox(box, 60030, MbIcon::Exclamation);
            continue;
        }
        if (StoreNewSimEntry(sims, requests, device, index, number, record->name()))
            ++result.stored;
    }
    if (result.existing > 0)
        ShowStringBox(box, 60029, MbIcon::Information, {int64_t{result.existing}});
    result.outcome = Outcome::Done;
    return result;
}

CopyToBookResult CopySimEntriesToBook(const std::vector<const SimPhoneEntry*>& selected,
                                      ContactBook& book, PhonebookRequests& requests,
                                      platform::MessageBoxPort& box) {
    CopyToBookResult result;
    for (const SimPhoneEntry* entry : selected) {
        if (!entry) continue;
        auto record = NewContactRecord();
        record->setName(entry->nameText());
        record->setMobile(entry->numberText());
        if (book.FindContactByNumber(record->mobile())) {
            ++result.existing;
            continue;
        }
        book.AddContact(std::move(record));
        ++result.added;
    }
    if (result.existing > 0)
        ShowStringBox(box, 60029, MbIcon::Information, {int64_t{result.existing}});
    if (result.added > 0) requests.refreshViews(REFRESH_CONTACT_PANE);
    return result;
}

}  // namespace msgdesk
