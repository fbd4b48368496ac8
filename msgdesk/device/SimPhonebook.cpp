// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/SimPhonebook.h"

#include <algorithm>

namespace msgdesk {

namespace {
bool validDevice(int d) {
    return d >= 1 && d <= kMaxDevices;
}
}  // namespace

const SimPhonebook::List& SimPhonebook::list(int device) const {
    return validDevice(device) ? m_lists[device] : m_lists[0];
}

SimPhoneEntry* SimPhonebook::FindSimEntryByNumber(int device, std::string_view number) const {
    if (!validDevice(device)) return nullptr;
    for (auto& e : m_lists[device])
        if (e->numberText() == number) return e.get();
    return nullptr;
}

int SimPhonebook::FirstFreeSimIndex(int device, int capacity) const {
    if (!validDevice(device) || capacity < 1) return -1;
    std::vector<bool> used(static_cast<size_t>(capacity) + 1, false);
    for (auto& e : m_lists[device])
        if (e->index >= 1 && e->index <= capacity) used[static_cast<size_t>(e->index)] = true;
    for (int i = 1; i <= capacity; ++i)
        if (!used[static_cast<size_t>(i)]) return i;
    return -1;
}

SimPhoneEntry* SimPhonebook::AppendSimEntry(std::unique_ptr<SimPhoneEntry> entry) {
    if (!entry || !validDevice(entry->device)) return nullptr;
    auto& l = m_lists[entry->device];
    l.push_back(std::move(entry));
    return l.back().get();
}

void SimPhonebook::ClearSimPhonebook(int device) {
    if (validDevice(device)) {
        m_lists[device].clear();
    } else {
        for (auto& l : m_lists) l.clear();
    }
}

bool SimPhonebook::RemoveEntry(const SimPhoneEntry* entry) {
    for (auto& l : m_lists) {
        auto it = std::find_if(l.begin(), l.end(), [&](auto& p) { return p.get() == entry; });
        if (it != l.end()) {
            l.erase(it);
            return true;
        }
    }
    return false;
}

bool SimPhonebook::Contains(const SimPhoneEntry* entry) const {
    return DeviceOf(entry) != 0;
}

int SimPhonebook::DeviceOf(const SimPhoneEntry* entry) const {
    for (int d = 1; d <= kMaxDevices; ++d)
        for (auto& e : m_lists[d])
            if (e.get() == entry) return d;
    return 0;
}

}  // namespace msgdesk
