// SPDX-License-Identifier: LGPL-2.1-or-later
#include "AtFinalResult.h"

#include "AtText.h"

namespace modlink::at {

bool parseFinalResult(std::string_view line, bool callResults, FinalResult& out, bool numeric) {
    if (line == "OK" || (numeric && line == "0")) {
        out = {AtStatus::Ok, -1};
        return true;
    }
    if (line == "ERROR" || (numeric && line == "4")) {
        out = {AtStatus::Error, -1};
        return true;
    }
    for (auto [prefix, status] : {std::pair{std::string_view("+CME ERROR:"), AtStatus::CmeError},
                                  std::pair{std::string_view("+CMS ERROR:"), AtStatus::CmsError}}) {
        if (startsWithNoCase(line, prefix)) {
            // Some modems give text ("+CME ERROR: SIM busy") even with CMEE=1.
            out = {status, parseInt(trim(line.substr(prefix.size()))).value_or(-1)};
            return true;
        }
    }
    if (callResults) {
        for (std::string_view w : {"NO CARRIER", "BUSY", "NO ANSWER", "NO DIALTONE", "CONNECT"}) {
            if (startsWith(line, w)) {
                out = {AtStatus::CallResult, -1};
                return true;
            }
        }
    }
    return false;
}

std::optional<bool> numericResultsAfter(std::string_view line) {
    if (line.size() < 2 || !startsWithNoCase(line, "AT")) return std::nullopt;
    std::optional<bool> numeric;
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t i = 2;
    while (i < line.size()) {
        char c = static_cast<char>(line[i] & ~0x20);  // upper case for letters
        if (line[i] == ' ' || line[i] == ';') {
            ++i;
        } else if (line[i] == '+' || line[i] == '^' || line[i] == '%' || line[i] == '$') {
            // An extended command runs to the next ';' outside quotes.
            bool quoted = false;
            while (i < line.size() && (quoted || line[i] != ';')) quoted ^= line[i++] == '"';
        } else if (c == 'D') {
            break;  // the dial string takes the rest of the line
        } else if (line[i] == '&' || c == 'S' || (c >= 'A' && c <= 'Z')) {
            bool amp = line[i] == '&', reg = c == 'S';
            i += amp ? 2 : 1;
            std::size_t d = i;
            while (i < line.size() && isDigit(line[i])) ++i;
            if (reg) {  // Sn=v, Sn?
                if (i < line.size() && (line[i] == '=' || line[i] == '?')) ++i;
                while (i < line.size() && isDigit(line[i])) ++i;
            } else if (!amp && c == 'V') {
                numeric = line.substr(d, i - d) != "1";  // V and V0 are the same
            }
        } else {
            break;
        }
    }
    return numeric;
}

const char* statusName(AtStatus s) {
    switch (s) {
        case AtStatus::Ok:
            return "OK";
        case AtStatus::Error:
            return "ERROR";
        case AtStatus::CmeError:
            return "CME";
        case AtStatus::CmsError:
            return "CMS";
        case AtStatus::CallResult:
            return "CALL";
        case AtStatus::Timeout:
            return "TIMEOUT";
        case AtStatus::Unplugged:
            return "UNPLUGGED";
        case AtStatus::Cancelled:
            return "CANCELLED";
        case AtStatus::Overflow:
            return "OVERFLOW";
    }
    return "?";
}

}  // namespace modlink::at
