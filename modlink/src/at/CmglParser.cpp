// SPDX-License-Identifier: LGPL-2.1-or-later
#include "CmglParser.h"

#include "AtText.h"

namespace modlink::at {

namespace {

// The PDU line that follows a header. The PDU is the run of hex digits at
// its start: some phones end the line with a stray character (a '"').
bool pduLine(const std::vector<std::string>& lines, std::size_t i, std::string& out) {
    if (i >= lines.size()) return false;
    auto t = trim(lines[i]);
    std::size_t n = 0;
    while (n < t.size() && isHex(t.substr(n, 1))) ++n;
    if (n == 0) return false;
    out = std::string(t.substr(0, n));
    return true;
}

// The last field is the length; the alpha field between may be absent.
bool header(std::string_view line, std::size_t first, StoredPdu& p) {
    auto f = splitFields(afterColon(line));
    if (f.size() < first + 2) return false;
    // Some phones leave <stat> empty ("+CMGR: ,,92"): unknown, not an error.
    auto stat = f[first].text.empty() && !f[first].quoted ? std::optional<int>(-1)
                                                          : parseInt(f[first].text);
    auto len = parseInt(f.back().text);
    if (!stat || !len || *stat < -1 || *stat > 4 || *len < 0 || *len > 255) return false;
    p.stat = *stat;
    p.length = *len;
    if (first == 1) {
        auto idx = parseInt(f[0].text);
        if (!idx || *idx < 0) return false;
        p.index = *idx;
    }
    return true;
}

}  // namespace

std::optional<StoredPdu> parseCmgr(const std::vector<std::string>& lines) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!startsWithNoCase(lines[i], "+CMGR:")) continue;
        StoredPdu p;
        if (!header(lines[i], 0, p) || !pduLine(lines, i + 1, p.pdu)) return std::nullopt;
        return p;
    }
    return std::nullopt;
}

std::vector<StoredPdu> parseCmgl(const std::vector<std::string>& lines, int* malformed) {
    std::vector<StoredPdu> out;
    int bad = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!startsWithNoCase(lines[i], "+CMGL:")) continue;
        StoredPdu p;
        if (header(lines[i], 1, p) && pduLine(lines, i + 1, p.pdu)) {
            out.push_back(std::move(p));
            ++i;
        } else {
            ++bad;
        }
    }
    if (malformed) *malformed = bad;
    return out;
}

}  // namespace modlink::at
