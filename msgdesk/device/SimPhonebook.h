// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <memory>
#include <string_view>
#include <vector>

#include "device/WindowMessages.h"
#include "types/SimPhoneEntry.h"

namespace msgdesk {

// The 16 per-device lists of SIM phonebook entries, in arrival order. Only
// the window thread touches them (the device callback posts parsed entries).
class SimPhonebook final {
public:
    using List = std::vector<std::unique_ptr<SimPhoneEntry>>;

    // Empty list for a device outside 1..16.
    const List& list(int device) const;

    // First entry of the device whose number equals number byte for byte.
    SimPhoneEntry* FindSimEntryByNumber(int device, std::string_view number) const;
    // Smallest SIM index 1..capacity that no entry of the device holds; -1
    // when none is free or the arguments are out of range.
    int FirstFreeSimIndex(int device, int capacity) const;
    // Appends at the end of the entry's device list and takes ownership;
    // returns the entry, or nullptr (and frees it) for a device outside 1..16.
    SimPhoneEntry* AppendSimEntry(std::unique_ptr<SimPhoneEntry> entry);
    // Frees every entry of a device 1..16, or of all devices for any other
    // value (callers pass 17). The device table's used count is reset by the
    // caller, which owns it.
    void ClearSimPhonebook(int device);
    // Removes and frees exactly this entry; false when it is in no list.
    bool RemoveEntry(const SimPhoneEntry* entry);
    // True when this exact entry is in one of the lists.
    bool Contains(const SimPhoneEntry* entry) const;
    // Device of the list that holds this entry, or 0.
    int DeviceOf(const SimPhoneEntry* entry) const;

private:
    List m_lists[kMaxDevices + 1];
};

}  // namespace msgdesk
