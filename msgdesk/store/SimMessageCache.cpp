// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/SimMessageCache.h"

#include <algorithm>

namespace msgdesk {

bool SimMessageCache::AddSimMessage(const MessageRecord& rec) {
    if (rec.Icon < 1 || rec.Icon > 16) return false;
    m_records.push_back(rec);
    return true;
}

void SimMessageCache::RemoveSimMessages(int device) {
    if (device < 1 || device > 16) {
        m_records.clear();
        return;
    }
    std::erase_if(m_records, [device](const MessageRecord& r) { return r.Icon == device; });
}

bool SimMessageCache::RemoveSimMessageByKey(std::string_view key) {
    size_t removed =
        std::erase_if(m_records, [key](const MessageRecord& r) { return r.status() == key; });
    return removed > 0;
}

}  // namespace msgdesk
