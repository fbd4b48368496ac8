// SPDX-License-Identifier: LGPL-2.1-or-later
#include "UnsolicitedRouter.h"

#include "AtText.h"

namespace modlink::at {

UnsolicitedRouter::UnsolicitedRouter() {
    // 27.005: new message indications; 27.007: ring, caller id, network
    // registration, indicator events, USSD; and the call end codes that come
    // on their own when the far end hangs up.
    for (const char* p : {"+CMTI:", "+CDSI:", "+CBMI:", "+CRING:", "+CLIP:", "+CCWA:", "+CREG:",
                          "+CGREG:", "+CEREG:", "+CIEV:", "+CUSD:", "+CSSI:", "+CSSU:", "+CGEV:",
                          "+PBREADY", "RING", "NO CARRIER", "BUSY", "NO ANSWER"})
        m_entries.push_back({p, 0, nullptr});
    m_entries.push_back({"+CMT:", 1, nullptr});
    m_entries.push_back({"+CDS:", 1, nullptr});
    m_entries.push_back({"+CBM:", 1, nullptr});
}

void UnsolicitedRouter::add(std::string prefix, int continuationLines, Handler handler) {
    for (auto& e : m_entries) {
        if (e.prefix == prefix) {
            e.continuation = continuationLines;
            e.handler = std::move(handler);
            return;
        }
    }
    m_entries.push_back({std::move(prefix), continuationLines, std::move(handler)});
}

const UnsolicitedRouter::Entry* UnsolicitedRouter::find(std::string_view line) const {
    for (const auto& e : m_entries) {
        bool whole = e.prefix.back() != ':';
        if (whole ? equalsNoCase(line, e.prefix) : startsWithNoCase(line, e.prefix)) return &e;
    }
    return nullptr;
}

bool UnsolicitedRouter::matches(std::string_view line, int* continuation) const {
    const Entry* e = find(line);
    if (continuation) *continuation = e ? e->continuation : 0;
    return e != nullptr || (!line.empty() && line[0] == '^');
}

void UnsolicitedRouter::dispatch(const std::vector<std::string>& lines) const {
    if (lines.empty()) return;
    const Entry* e = find(lines.front());
    if (e && e->handler)
        e->handler(lines);
    else if (m_fallback)
        m_fallback(lines);
}

}  // namespace modlink::at
