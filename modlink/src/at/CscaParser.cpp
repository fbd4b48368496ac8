// SPDX-License-Identifier: LGPL-2.1-or-later
#include "CscaParser.h"

#include "AtText.h"

namespace modlink::at {

std::optional<std::string> parseCsca(const std::vector<std::string>& lines, Charset cs) {
    auto line = findLine(lines, "+CSCA:");
    if (!line) return std::nullopt;
    auto fields = splitFields(afterColon(*line));
    if (fields.empty()) return std::string();
    int type = fields.size() > 1 ? parseInt(fields[1].text).value_or(-1) : -1;
    return decodeNumber(fields[0].text, cs, type);
}

std::string cscaArgument(const std::string& number, Charset cs) {
    bool intl = !number.empty() && number[0] == '+';
    std::string n = cs == Charset::Ucs2 ? encodeText(number, cs) : number;
    return "\"" + n + "\"," + (intl ? "145" : "129");
}

}  // namespace modlink::at
