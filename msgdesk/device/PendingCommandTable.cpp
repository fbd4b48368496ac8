#include "device/PendingCommandTable.h"

#include <algorithm>

namespace msgdesk {

void PendingCommandTable::add(int id, int device, std::string text) {
    std::lock_guard lk(m_lock);
    m_rows.push_back(PendingCommand{id, device, std::move(text), nullptr});
}

void PendingCommandTable::add(int id, int device, SimPhoneEntry* entry) {
    std::lock_guard lk(m_lock);
    m_rows.push_back(PendingCommand{id, device, std::string(), entry});
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

std::size_t PendingCommandTable::count() const {
    std::lock_guard lk(m_lock);
    return m_rows.size();
}

}  // namespace msgdesk
