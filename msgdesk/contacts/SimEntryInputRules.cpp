// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/SimEntryInputRules.h"

namespace msgdesk {

std::optional<int> ParseSimIndex(std::string_view text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    int v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

unsigned ValidateSimEntryNumber(std::string_view number) {
    return number.empty() ? 60003u : 0u;
}

}  // namespace msgdesk
