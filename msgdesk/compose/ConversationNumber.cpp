// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose/ConversationNumber.h"

#include <array>
#include <cstddef>

namespace msgdesk {

namespace {

// A stored number has at most 20 bytes; a longer text is still reduced
// whole, just without the fixed buffer.
constexpr std::size_t kBuffer = 64;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Eleven digits, a '1' and then 3..9: the form of a mobile number here.
bool isMobile(std::string_view s) {
    if (s.size() != 11 || s[0] != '1' || s[1] < '3' || s[1] > '9') return false;
    for (char c : s)
        if (!isDigit(c)) return false;
    return true;
}

// The key as a view into out (or into spill for an overlong text).
std::string_view reduce(std::string_view number, std::array<char, kBuffer>& out,
                        std::string& spill) {
    std::size_t n = 0;
    const bool fits = number.size() <= out.size();
    for (char c : number) {
        if (c == ' ' || c == '-') continue;
        if (fits)
            out[n++] = c;
        else
            spill.push_back(c);
    }
    std::string_view s = fits ? std::string_view(out.data(), n) : std::string_view(spill);
    for (std::string_view prefix : {"+86", "0086", "86"}) {
        if (s.substr(0, prefix.size()) == prefix && isMobile(s.substr(prefix.size())))
            return s.substr(prefix.size());
    }
    return s;
}

}  // namespace

std::string ConversationKey(std::string_view numberGbk) {
    std::array<char, kBuffer> buf;
    std::string spill;
    return std::string(reduce(numberGbk, buf, spill));
}

bool HasConversationKey(std::string_view numberGbk, std::string_view key) {
    std::array<char, kBuffer> buf;
    std::string spill;
    return reduce(numberGbk, buf, spill) == key;
}

}  // namespace msgdesk
