// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/DeviceTable.h"

#include <algorithm>

namespace msgdesk {

using Guard = std::lock_guard<std::recursive_mutex>;

int DeviceTable::deviceCount() const {
    Guard g(m_lock);
    return m_deviceCount;
}

void DeviceTable::setDeviceCount(int n) {
    Guard g(m_lock);
    m_deviceCount = std::clamp(n, 0, kMaxDevices);
}

DeviceSlot DeviceTable::slot(int device) const {
    Guard g(m_lock);
    return valid(device) ? m_slots[device] : DeviceSlot{};
}

void DeviceTable::clearSlot(int device) {
    Guard g(m_lock);
    if (valid(device)) m_slots[device] = DeviceSlot{};
}

void DeviceTable::clearAllSlots() {
    Guard g(m_lock);
    for (auto& s : m_slots) s = DeviceSlot{};
}

void DeviceTable::setPhonebookCapacity(int device, int n) {
    Guard g(m_lock);
    if (valid(device)) m_slots[device].phonebookCapacity = n;
}

void DeviceTable::setMessageCapacity(int device, int n) {
    Guard g(m_lock);
    if (valid(device)) m_slots[device].messageCapacity = n;
}

bool DeviceTable::raisePhonebookUsedBelowCapacity(int device) {
    Guard g(m_lock);
    if (!valid(device)) return false;
    auto& s = m_slots[device];
    if (s.phonebookCapacity <= s.phonebookUsed) return false;
    ++s.phonebookUsed;
    return true;
}

void DeviceTable::addPhonebookUsed(int device, int delta) {
    Guard g(m_lock);
    if (valid(device)) m_slots[device].phonebookUsed += delta;
}

bool DeviceTable::lowerPhonebookUsed(int device) {
    Guard g(m_lock);
    if (!valid(device) || m_slots[device].phonebookUsed <= 0) return false;
    --m_slots[device].phonebookUsed;
    return true;
}

void DeviceTable::setPhonebookUsed(int device, int n) {
    Guard g(m_lock);
    if (valid(device)) m_slots[device].phonebookUsed = n;
}

void DeviceTable::addMessageCount(int device, int delta) {
    Guard g(m_lock);
    if (valid(device))
        m_slots[device].messageCount = std::max(0, m_slots[device].messageCount + delta);
}

bool DeviceTable::messagesListed(int device) const {
    Guard g(m_lock);
    return valid(device) && m_messagesListed[device];
}

bool DeviceTable::phonebookListed(int device) const {
    Guard g(m_lock);
    return valid(device) && m_phonebookListed[device];
}

bool DeviceTable::centreRead(int device) const {
    Guard g(m_lock);
    return valid(device) && m_centreRead[device];
}

void DeviceTable::setMessagesListed(int device, bool v) {
    Guard g(m_lock);
    if (valid(device)) m_messagesListed[device] = v;
}

void DeviceTable::setPhonebookListed(int device, bool v) {
    Guard g(m_lock);
    if (valid(device)) m_phonebookListed[device] = v;
}

void DeviceTable::setCentreRead(int device, bool v) {
    Guard g(m_lock);
    if (valid(device)) m_centreRead[device] = v;
}

bool DeviceTable::centreUnknown(int device) const {
    Guard g(m_lock);
    return valid(device) && m_centreUnknown[device];
}

void DeviceTable::setCentreUnknown(int device, bool v) {
    Guard g(m_lock);
    if (valid(device)) m_centreUnknown[device] = v;
}

bool DeviceTable::attached(int device) const {
    Guard g(m_lock);
    return valid(device) && device <= m_deviceCount && !m_removed[device];
}

void DeviceTable::clearFlags(int device) {
    Guard g(m_lock);
    if (!valid(device)) return;
    m_messagesListed[device] = m_phonebookListed[device] = m_centreRead[device] = false;
    m_centreUnknown[device] = m_simLocked[device] = false;
}

bool DeviceTable::simLocked(int device) const {
    Guard g(m_lock);
    return valid(device) && m_simLocked[device];
}

void DeviceTable::setSimLocked(int device, bool v) {
    Guard g(m_lock);
    if (valid(device)) m_simLocked[device] = v;
}

void DeviceTable::clearAllFlags() {
    Guard g(m_lock);
    for (int d = 0; d <= kMaxDevices; ++d) {
        m_messagesListed[d] = m_phonebookListed[d] = m_centreRead[d] = false;
        m_centreUnknown[d] = m_simLocked[d] = false;
    }
}

bool DeviceTable::removed(int device) const {
    Guard g(m_lock);
    return valid(device) && m_removed[device];
}

void DeviceTable::setRemoved(int device, bool v) {
    Guard g(m_lock);
    if (valid(device)) m_removed[device] = v;
}

std::string DeviceTable::centreNumber(int device) const {
    Guard g(m_lock);
    return valid(device) ? m_centre[device] : std::string();
}

void DeviceTable::setCentreNumber(int device, std::string number) {
    Guard g(m_lock);
    if (valid(device)) m_centre[device] = std::move(number);
}

DeviceSnapshot DeviceTable::snapshot() const {
    Guard g(m_lock);
    DeviceSnapshot s;
    s.deviceCount = m_deviceCount;
    for (int d = 1; d <= kMaxDevices; ++d) s.devices[d] = m_slots[d];
    return s;
}

}  // namespace msgdesk
