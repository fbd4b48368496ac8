// SPDX-License-Identifier: LGPL-2.1-or-later
#include "CpinParser.h"

#include <algorithm>

#include "AtText.h"

namespace modlink::at {

namespace {

std::string upper(std::string_view s) {
    std::string out(s);
    for (auto& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// A tries count as modems give it: 0..99.
std::optional<int> tries(const AtField& f) {
    auto n = parseInt(f.text);
    if (!n || *n < 0 || *n > 99) return std::nullopt;
    return n;
}

}  // namespace

std::optional<std::string> parseCpin(const std::vector<std::string>& lines) {
    auto line = findLine(lines, "+CPIN:");
    if (!line) return std::nullopt;
    auto fields = splitFields(afterColon(*line));
    if (fields.empty() || fields[0].text.empty()) return std::nullopt;
    return upper(fields[0].text);
}

std::optional<int> parsePinTries(const std::vector<std::string>& lines, const std::string& code) {
    const bool puk = code == "SIM PUK";
    for (const auto& l : lines) {
        auto fields = splitFields(afterColon(l));
        if (l.rfind("+CPINR:", 0) == 0) {
            if (fields.size() >= 2 && upper(fields[0].text) == code) return tries(fields[1]);
        } else if (l.rfind("^CPIN:", 0) == 0) {
            if (fields.size() >= 4) return tries(fields[puk ? 2 : 3]);
        } else if (l.rfind("+QPINC:", 0) == 0) {
            if (fields.size() >= 3 && upper(fields[0].text) == "SC")
                return tries(fields[puk ? 2 : 1]);
        }
    }
    return std::nullopt;
}

}  // namespace modlink::at
