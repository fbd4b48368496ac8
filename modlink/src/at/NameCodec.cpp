// SPDX-License-Identifier: LGPL-2.1-or-later
#include "NameCodec.h"

#include "AtText.h"
#include "GsmAlphabet.h"
#include "platform/Codepage.h"

namespace modlink::at {

namespace cp = platform::codepage;

namespace {

std::u16string ucs2FromBytes(std::string_view b) {
    std::u16string out;
    for (std::size_t i = 0; i + 1 < b.size(); i += 2) {
        char16_t c = static_cast<char16_t>((static_cast<unsigned char>(b[i]) << 8) |
                                           static_cast<unsigned char>(b[i + 1]));
        if (c == 0xFFFF) break;  // SIM padding
        out += c;
    }
    return out;
}

// TS 31.102 annex A, codings 0x81 and 0x82: n characters, a base, then one
// byte per character: below 0x80 a GSM septet, else base + (byte & 0x7F).
std::optional<std::u16string> simAlpha(std::string_view b) {
    if (b.size() < 3) return std::nullopt;
    unsigned char kind = static_cast<unsigned char>(b[0]);
    std::size_t n = static_cast<unsigned char>(b[1]);
    std::size_t head = kind == 0x81 ? 3 : 4;
    if (b.size() < head || b.size() - head < n) return std::nullopt;
    char16_t base = kind == 0x81 ? static_cast<char16_t>(static_cast<unsigned char>(b[2]) << 7)
                                 : static_cast<char16_t>((static_cast<unsigned char>(b[2]) << 8) |
                                                         static_cast<unsigned char>(b[3]));
    std::u16string out;
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char c = static_cast<unsigned char>(b[head + i]);
        if (c < 0x80)
            out += gsmUnpackedToUcs2(std::string(1, static_cast<char>(c)));
        else
            out += static_cast<char16_t>(base + (c & 0x7F));
    }
    return out;
}

std::u16string decodeHexName(const std::string& bytes, std::size_t hexLen) {
    unsigned char first = bytes.empty() ? 0 : static_cast<unsigned char>(bytes[0]);
    if (hexLen % 4 == 2 && first == 0x80) return ucs2FromBytes(std::string_view(bytes).substr(1));
    if ((first == 0x81 || first == 0x82) && hexLen % 4 != 0) {
        if (auto s = simAlpha(bytes)) return *s;
    }
    if (hexLen % 4 == 0) {
        // A 0x81/0x82 field can have a length that is a multiple of 4 too:
        // trust it when its character count matches exactly.
        if (first == 0x81 || first == 0x82) {
            std::size_t head = first == 0x81 ? 3 : 4;
            if (bytes.size() >= head && bytes.size() - head == static_cast<unsigned char>(bytes[1]))
                if (auto s = simAlpha(bytes)) return *s;
        }
        return ucs2FromBytes(bytes);
    }
    return gsmUnpackedToUcs2(bytes);
}

bool validUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t n = c < 0x80             ? 1
                        : (c & 0xE0) == 0xC0 ? 2
                        : (c & 0xF0) == 0xE0 ? 3
                        : (c & 0xF8) == 0xF0 ? 4
                                             : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

std::string dropControls(std::string s) {
    std::string out;
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) out += c;
    return out;
}

std::string plainToGbk(std::string_view s) {
    bool ascii = true;
    for (char c : s) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (!ascii && validUtf8(s)) return cp::utf8ToGbk(s);
    return std::string(s);
}

bool isNumberChar(char16_t c) {
    return (c >= '0' && c <= '9') || c == '+' || c == '*' || c == '#' || c == 'p' || c == 'w' ||
           c == 'P' || c == 'W' || c == ',';
}

}  // namespace

Charset charsetFromName(std::string_view name) {
    if (equalsNoCase(name, "UCS2")) return Charset::Ucs2;
    if (equalsNoCase(name, "GSM")) return Charset::Gsm;
    if (equalsNoCase(name, "IRA")) return Charset::Ira;
    if (equalsNoCase(name, "HEX")) return Charset::Hex;
    return Charset::Other;
}

std::string decodeText(std::string_view field, Charset cs) {
    if ((cs == Charset::Ucs2 || cs == Charset::Hex) && isHex(field) && field.size() % 2 == 0) {
        if (auto bytes = hexToBytes(field)) {
            std::u16string u = cs == Charset::Hex ? gsmUnpackedToUcs2(*bytes)
                                                  : decodeHexName(*bytes, field.size());
            return dropControls(cp::ucs2ToGbk(u));
        }
    }
    return dropControls(plainToGbk(field));
}

std::string encodeText(std::string_view gbk, Charset cs) {
    if (cs == Charset::Ucs2) {
        std::u16string u = cp::gbkToUcs2(gbk);
        std::string bytes;
        for (char16_t c : u) {
            bytes += static_cast<char>(c >> 8);
            bytes += static_cast<char>(c & 0xFF);
        }
        return bytesToHex(bytes);
    }
    if (cs == Charset::Hex) return bytesToHex(gbk);
    std::string out;
    for (std::size_t i = 0; i < gbk.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(gbk[i]);
        if (c >= 0x80) {
            // One '?' per character this character set cannot carry.
            i += cp::charLength(gbk, i) - 1;
            out += '?';
        } else if (c == '"') {
            out += '\'';
        } else if (c >= 0x20 && c != 0x7F) {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string decodeNumber(std::string_view field, Charset cs, int type) {
    std::string raw(field);
    if (cs == Charset::Ucs2 && isHex(field) && field.size() % 4 == 0) {
        auto bytes = hexToBytes(field);
        std::u16string u = ucs2FromBytes(*bytes);
        bool allNumber = !u.empty();
        for (char16_t c : u) allNumber = allNumber && isNumberChar(c);
        if (allNumber) {
            raw.clear();
            for (char16_t c : u) raw += static_cast<char>(c);
        }
    }
    std::string out;
    for (char c : raw)
        if (isNumberChar(static_cast<unsigned char>(c)) && (c != '+' || out.empty())) out += c;
    if (type == 145 && !out.empty() && out[0] != '+') out.insert(out.begin(), '+');
    return out;
}

std::optional<std::string> decodeNumberAsGiven(std::string_view field, Charset cs, int type) {
    std::string raw(field);
    if (cs == Charset::Ucs2 && isHex(field) && field.size() % 4 == 0 && !field.empty()) {
        std::u16string u = ucs2FromBytes(*hexToBytes(field));
        bool ascii = !u.empty();
        for (char16_t c : u) ascii = ascii && c >= 0x20 && c < 0x7F;
        // Plain digits of a length divisible by 4 are hex too, but they
        // hardly ever decode to printable ASCII ("0031" does).
        if (ascii) raw.assign(u.begin(), u.end());
    }
    for (char c : raw)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F)
            return std::nullopt;
    if (type == 145 && !raw.empty() && raw[0] != '+') raw.insert(raw.begin(), '+');
    return raw;
}

bool isDialNumber(std::string_view number) {
    if (number.empty()) return false;
    for (std::size_t i = 0; i < number.size(); ++i)
        if (!isNumberChar(static_cast<unsigned char>(number[i])) || (number[i] == '+' && i > 0))
            return false;
    return true;
}

}  // namespace modlink::at
