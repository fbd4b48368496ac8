// SPDX-License-Identifier: LGPL-2.1-or-later
#include "Answers.h"

#include "platform/Codepage.h"

namespace modlink {

std::string errorText(const at::AtReply& r) {
    switch (r.status) {
        case at::AtStatus::Timeout:
            return "TIMEOUT";
        case at::AtStatus::Ok:
            return "ERROR: unexpected reply";
        case at::AtStatus::Unplugged:
            return "ERROR: device unplugged";
        case at::AtStatus::Cancelled:
            return "ERROR: link closed";
        case at::AtStatus::Overflow:
            return "ERROR: reply too long";
        case at::AtStatus::Error:
            return "ERROR";
        default:
            return "ERROR: " + r.finalLine;
    }
}

std::string quotedField(std::string_view gbk, std::size_t maxBytes) {
    std::string cut(gbk.substr(0, platform::codepage::fitLength(gbk, maxBytes)));
    std::string out;
    for (std::size_t i = 0; i < cut.size();) {
        const std::size_t n = platform::codepage::charLength(cut, i);
        if (n == 1 && cut[i] == '"')
            out += "\xA3\xA2";
        else
            out.append(cut, i, n);
        i += n;
    }
    return out;
}

bool isDialString(std::string_view n) {
    if (n.empty()) return false;
    for (std::size_t i = 0; i < n.size(); ++i) {
        char c = n[i];
        bool ok = (c >= '0' && c <= '9') || c == '*' || c == '#' || c == 'p' || c == 'P' ||
                  c == 'w' || c == 'W' || (c == '+' && i == 0);
        if (!ok) return false;
    }
    return true;
}

}  // namespace modlink
