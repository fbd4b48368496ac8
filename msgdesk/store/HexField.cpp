// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/HexField.h"

namespace msgdesk {

std::string hexField(const std::string& s) {
    static const char* d = "0123456789abcdef";
    if (s.empty()) return "-";
    std::string out;
    out.reserve(s.size() * 2);
    for (unsigned char c : s) {
        out += d[c >> 4];
        out += d[c & 15];
    }
    return out;
}

bool unhexField(const std::string& h, std::string& out) {
    out.clear();
    if (h == "-") return true;
    if (h.empty() || h.size() % 2) return false;
    auto v = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    for (size_t i = 0; i < h.size(); i += 2) {
        const int hi = v(h[i]), lo = v(h[i + 1]);
        if (hi < 0 || lo < 0) return false;
        out += static_cast<char>(hi * 16 + lo);
    }
    return true;
}

}  // namespace msgdesk
