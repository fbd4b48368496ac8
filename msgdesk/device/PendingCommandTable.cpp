// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/PendingCommandTable.h"

#include <algorithm>

namespace msgdesk {

void PendingCommandTable::add(int id, int device, std::string text) {
    std::lock_guard lk(m_lock);
    m_rows.push_back(PendingCommand{id, device, std::move(text), nullptr});
}

void PendingCommandTable::add(int id, int device, SimPhoneEntry* entry, int batch) {
    std::lock_guard lk(m_lock);
    m_rows.push_back(PendingCommand{id, device, std::string(), entry, 0, batch});
}

void PendingCommandTable::addRetry(int id, int device, std::string text, int failures) {
    std::lock_guard lk(m_lock);
    m_rows.push_back(PendingCommand{id, device, std::move(text), nullptr, failures, 0});
}

std::optional<PendingCommand> PendingCommandTable::find(int id) const {
    std::lock_guard lk(m_lock);
    auto it = std::find_if(m_rows.begin(), m_rows.end(), [id](auto& r) { return r.id == id; });
    if (it == m_rows.end()) return std::nullopt;
    return *it;
}

bool PendingCommandTable::remove(int id) {
    std::lock_guard lk(m_lock);
    auto it = std::find_if(m_rows.begin(), m_rows.end(), [id](auto& r) { return r.id == id; });
    if (it == m_rows.end()) return false;
    m_rows.erase(it);
    return true;
}

void PendingCommandTable::clear() {
    std::lock_guard lk(m_lock);
    m_rows.clear();
}

std::vector<PendingCommand> PendingCommandTable::removeDevice(int device) {
    std::lock_guard lk(m_lock);
    std::vector<PendingCommand> out;
    for (auto it = m_rows.begin(); it != m_rows.end();) {
        if (it->device == device || it->device == device + 16) {
            out.push_back(std::move(*it));
            it = m_rows.erase(it);
        } else {
            ++it;
        }
    }
    return out;
}

std::size_t PendingCommandTable::countBatch(int batch) const {
    std::lock_guard lk(m_lock);
    return static_cast<std::size_t>(
        std::count_if(m_rows.begin(), m_rows.end(), [batch](auto& r) { return r.batch == batch; }));
}

std::size_t PendingCommandTable::count() const {
    std::lock_guard lk(m_lock);
    return m_rows.size();
}

}  // namespace msgdesk
