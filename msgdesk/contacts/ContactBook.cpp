// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/ContactBook.h"

#include <algorithm>
#include <cstring>

namespace msgdesk {

std::unique_ptr<ContactRecord> NewContactRecord() {
    return std::make_unique<ContactRecord>();
}

ContactRecord* ContactBook::appendLoaded(std::unique_ptr<ContactRecord> record) {
    if (!record) return nullptr;
    m_records.push_back(std::move(record));
    return m_records.back().get();
}

ContactRecord* ContactBook::AddContact(std::unique_ptr<ContactRecord> record) {
    ContactRecord* r = appendLoaded(std::move(record));
    if (r) notifyChanged();
    return r;
}

bool ContactBook::RemoveContact(const ContactRecord* record) {
    auto it = std::find_if(m_records.begin(), m_records.end(),
                           [&](const auto& p) { return p.get() == record; });
    if (it == m_records.end()) return false;
    m_records.erase(it);
    notifyChanged();
    return true;
}

ContactRecord* ContactBook::FindContactByNumber(std::string_view number) const {
    // Compared in place: the message list looks up a name for every row.
    for (const auto& r : m_records) {
        const std::size_t n = ::strnlen(r->Mobile, sizeof r->Mobile);
        if (n == number.size() && std::memcmp(r->Mobile, number.data(), n) == 0) return r.get();
    }
    return nullptr;
}

bool ContactBook::Contains(const ContactRecord* record) const {
    return std::any_of(m_records.begin(), m_records.end(),
                       [&](const auto& p) { return p.get() == record; });
}

void ContactBook::clear() {
    if (m_records.empty()) return;
    m_records.clear();
    notifyChanged();
}

void ContactBook::notifyChanged() {
    // A listener may unsubscribe while being called; walk a copy.
    auto listeners = m_listeners;
    for (auto& [token, fn] : listeners)
        if (fn) fn();
}

int ContactBook::subscribe(Listener listener) {
    int token = m_nextToken++;
    m_listeners.emplace_back(token, std::move(listener));
    return token;
}

void ContactBook::unsubscribe(int token) {
    std::erase_if(m_listeners, [&](const auto& l) { return l.first == token; });
}

}  // namespace msgdesk
