// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/ContactFileText.h"

namespace msgdesk {

bool isValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        auto c = static_cast<unsigned char>(s[i]);
        size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (len == 0 || (len == 2 && c < 0xC2) || i + len > s.size()) return false;
        for (size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += len;
    }
    return true;
}

bool isUtf8CutAtEnd(std::string_view s) {
    if (isValidUtf8(s)) return false;
    for (size_t cut = 1; cut <= 3 && cut <= s.size(); ++cut) {
        auto c = static_cast<unsigned char>(s[s.size() - cut]);
        if ((c & 0xC0) == 0xC0) return isValidUtf8(s.substr(0, s.size() - cut));
        if ((c & 0xC0) != 0x80) return false;
    }
    return false;
}

bool isValidGbk(std::string_view s) {
    for (size_t i = 0; i < s.size(); ++i) {
        auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) continue;
        if (c == 0x80 || c == 0xFF || i + 1 >= s.size()) return false;
        auto t = static_cast<unsigned char>(s[++i]);
        if (t < 0x40 || t == 0x7F || t == 0xFF) return false;
    }
    return true;
}

bool looksBinary(std::string_view s) {
    for (char ch : s) {
        auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 && c != '\r' && c != '\n' && c != '\t' && c != 0x0C) return true;
    }
    return false;
}

std::string cleanPhoneNumber(std::string_view s) {
    std::string out;
    for (char c : s) {
        if ((c >= '0' && c <= '9') || c == '*' || c == '#')
            out += c;
        else if (c == '+' && out.empty())
            out += c;
    }
    return out;
}

}  // namespace msgdesk
