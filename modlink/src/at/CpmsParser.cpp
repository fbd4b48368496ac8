// SPDX-License-Identifier: LGPL-2.1-or-later
#include "CpmsParser.h"

#include "AtText.h"

namespace modlink::at {

std::optional<MessageStoreSize> parseCpms(const std::vector<std::string>& lines) {
    auto line = findLine(lines, "+CPMS:");
    if (!line) return std::nullopt;
    auto f = splitFields(afterColon(*line));
    std::optional<MessageStoreSize> first;
    for (std::size_t i = 0; i < f.size();) {
        std::string mem;
        if (f[i].quoted || !parseInt(f[i].text)) mem = f[i++].text;
        if (i + 1 >= f.size()) return first;
        auto used = parseInt(f[i].text), total = parseInt(f[i + 1].text);
        i += 2;
        if (!used || !total || *used < 0 || *total < 0 || *used > *total) return first;
        MessageStoreSize s{*used, *total};
        if (equalsNoCase(mem, "SM")) return s;
        if (!first) first = s;
    }
    return first;
}

}  // namespace modlink::at
