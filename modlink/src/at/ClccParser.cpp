// SPDX-License-Identifier: LGPL-2.1-or-later
#include "ClccParser.h"

#include "AtText.h"

namespace modlink::at {

std::vector<CallEntry> parseClcc(const std::vector<std::string>& lines) {
    std::vector<CallEntry> out;
    for (const auto& l : lines) {
        if (!startsWithNoCase(l, "+CLCC:")) continue;
        auto f = splitFields(afterColon(l));
        if (f.size() < 5) continue;
        auto id = parseInt(f[0].text), dir = parseInt(f[1].text), stat = parseInt(f[2].text),
             mode = parseInt(f[3].text);
        if (!id || !dir || !stat || !mode || *stat < 0 || *stat > 5) continue;
        if (*mode != 0) continue;
        CallEntry e{*id, *dir, *stat, *mode, f.size() > 5 ? f[5].text : std::string()};
        out.push_back(std::move(e));
    }
    return out;
}

std::optional<int> parseCmti(const std::string& line) {
    if (!startsWithNoCase(line, "+CMTI:")) return std::nullopt;
    auto f = splitFields(afterColon(line));
    if (f.size() < 2) return std::nullopt;
    auto idx = parseInt(f[1].text);
    if (!idx || *idx < 0) return std::nullopt;
    return idx;
}

std::optional<std::string> parseClip(const std::string& line) {
    if (!startsWithNoCase(line, "+CLIP:")) return std::nullopt;
    auto f = splitFields(afterColon(line));
    if (f.empty()) return std::nullopt;
    std::string n;
    for (char c : f[0].text) {
        bool ok = (c >= '0' && c <= '9') || c == '+' || c == '*' || c == '#';
        if (!ok) return std::nullopt;
        n += c;
    }
    // Type 145 is international; some modems leave out the '+'.
    if (f.size() > 1 && f[1].text == "145" && !n.empty() && n[0] != '+') n.insert(n.begin(), '+');
    return n;
}

std::optional<std::pair<int, int>> parseClvlRange(const std::vector<std::string>& lines) {
    auto line = findLine(lines, "+CLVL:");
    if (!line) return std::nullopt;
    std::string s(afterColon(*line));
    auto open = s.find('('), dash = s.find('-'), close = s.find(')');
    if (open == std::string::npos || dash == std::string::npos || close == std::string::npos ||
        !(open < dash && dash < close))
        return std::nullopt;
    auto lo = parseInt(trim(std::string_view(s).substr(open + 1, dash - open - 1)));
    auto hi = parseInt(trim(std::string_view(s).substr(dash + 1, close - dash - 1)));
    if (!lo || !hi || *lo > *hi) return std::nullopt;
    return std::pair{*lo, *hi};
}

}  // namespace modlink::at
