// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/SimMessageCache.h"

namespace msgdesk {

bool SimMessageCache::AddSimMessage(const MessageRecord& rec, PartTag tag) {
    if (rec.Icon < 1 || rec.Icon > 16) return false;
    m_records.push_back(rec);
    m_tags.push_back(std::move(tag));
    return true;
}

template <class Pred>
size_t SimMessageCache::removeIf(Pred drop) {
    // Records and tags go together, so the positions stay paired.
    size_t kept = 0;
    for (size_t i = 0; i < m_records.size(); ++i) {
        if (drop(m_records[i])) continue;
        if (kept != i) {
            m_records[kept] = m_records[i];
            m_tags[kept] = std::move(m_tags[i]);
        }
        ++kept;
    }
    const size_t removed = m_records.size() - kept;
    m_records.resize(kept);
    m_tags.resize(kept);
    return removed;
}

void SimMessageCache::RemoveSimMessages(int device) {
    if (device < 1 || device > 16) {
        m_records.clear();
        m_tags.clear();
        return;
    }
    removeIf([device](const MessageRecord& r) { return r.Icon == device; });
}

bool SimMessageCache::RemoveSimMessageByKey(std::string_view key) {
    return removeIf([key](const MessageRecord& r) { return r.status() == key; }) > 0;
}

}  // namespace msgdesk
