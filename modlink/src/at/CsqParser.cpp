// SPDX-License-Identifier: LGPL-2.1-or-later
#include "CsqParser.h"

#include "AtText.h"

namespace modlink::at {

std::optional<int> parseCsq(const std::vector<std::string>& lines) {
    auto line = findLine(lines, "+CSQ:");
    if (!line) return std::nullopt;
    auto fields = splitFields(afterColon(*line));
    if (fields.empty()) return std::nullopt;
    auto rssi = parseInt(fields[0].text);
    if (!rssi || ((*rssi < 0 || *rssi > 31) && *rssi != 99)) return std::nullopt;
    return rssi;
}

}  // namespace modlink::at
