// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimText.h"

#include <cctype>

namespace zuntosim {

std::string toHex(std::string_view bytes) {
    static const char* d = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        out += d[c >> 4];
        out += d[c & 15];
    }
    return out;
}

namespace {
int hv(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
}  // namespace

std::string encodeText(std::u16string_view text, const std::string& charset) {
    std::string out;
    if (charset == "UCS2") {
        for (char16_t c : text) {
            std::string b{static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
            out += toHex(b);
        }
        return out;
    }
    for (char16_t c : text) {
        char a = (c >= 0x20 && c < 0x7F && c != '"') ? static_cast<char>(c) : '?';
        if (charset == "HEX")
            out += toHex(std::string(1, a));
        else
            out += a;
    }
    return out;
}

std::optional<std::u16string> decodeText(std::string_view text, const std::string& charset) {
    std::u16string out;
    if (charset == "UCS2" || charset == "HEX") {
        std::size_t unit = charset == "UCS2" ? 4 : 2;
        if (text.size() % unit != 0) return std::nullopt;
        for (std::size_t i = 0; i < text.size(); i += unit) {
            char16_t v = 0;
            for (std::size_t k = 0; k < unit; ++k) {
                int h = hv(text[i + k]);
                if (h < 0) return std::nullopt;
                v = static_cast<char16_t>(v * 16 + h);
            }
            out += v;
        }
        return out;
    }
    for (unsigned char c : text) {
        if (c >= 0x80) return std::nullopt;
        out += static_cast<char16_t>(c);
    }
    return out;
}

}  // namespace zuntosim
