#include "AtFinalResult.h"

#include "AtText.h"

namespace modlink::at {

bool parseFinalResult(std::string_view line, bool callResults, FinalResult& out) {
    if (line == "OK" || line == "0") {
        out = {AtStatus::Ok, -1};
        return true;
    }
    if (line == "ERROR" || line == "4") {
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
    }
    return "?";
}

}  // namespace modlink::at
