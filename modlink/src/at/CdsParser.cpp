// SPDX-License-Identifier: LGPL-2.1-or-later
#include "CdsParser.h"

#include "AtText.h"
#include "platform/Codepage.h"

namespace modlink::at {

namespace {

// 23.038 clause 5: the alphabet a data coding scheme names.
enum class DcsAlphabet { Gsm7, Data8, Ucs2 };
DcsAlphabet alphabetOf(int dcs) {
    if (dcs < 0) return DcsAlphabet::Gsm7;
    if (dcs == 0x11) return DcsAlphabet::Ucs2;  // UCS-2 after a language indication
    const int group = (dcs >> 4) & 0x0F;
    if (group <= 0x03) return DcsAlphabet::Gsm7;  // languages, and 0x10 GSM after one
    if (group >= 0x04 && group <= 0x07) {         // general data coding
        switch ((dcs >> 2) & 0x03) {
            case 1:
                return DcsAlphabet::Data8;
            case 2:
                return DcsAlphabet::Ucs2;
            default:
                return DcsAlphabet::Gsm7;
        }
    }
    if (group == 0x0F) return (dcs & 0x04) ? DcsAlphabet::Data8 : DcsAlphabet::Gsm7;
    return DcsAlphabet::Gsm7;
}

std::optional<std::string> ucs2Hex(std::string_view hex) {
    if (hex.empty() || hex.size() % 4 != 0 || !isHex(hex)) return std::nullopt;
    auto bytes = hexToBytes(hex);
    if (!bytes) return std::nullopt;
    std::u16string units;
    for (std::size_t i = 0; i + 1 < bytes->size(); i += 2)
        units += static_cast<char16_t>((static_cast<unsigned char>((*bytes)[i]) << 8) |
                                       static_cast<unsigned char>((*bytes)[i + 1]));
    return platform::codepage::ucs2ToGbk(units);
}

// Control characters other than the line breaks would only garble the
// answer field; a raw quote cannot come inside a quoted field anyway.
std::string keepPrintable(std::string s) {
    std::string out;
    for (char c : s) {
        auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 || c == '\n') out += c;
        if (c == '\r') out += '\n';
    }
    return out;
}

}  // namespace

std::optional<CdsReport> parseCds(const std::vector<std::string>& lines) {
    if (lines.size() < 2 || !startsWithNoCase(lines[0], "+CDS:")) return std::nullopt;
    auto f = splitFields(afterColon(lines[0]));
    if (f.empty()) return std::nullopt;
    // <length> is the last field ("+CDS: [<alpha>,]<length>").
    auto len = parseInt(f.back().text);
    if (!len || *len < 1 || *len > 255) return std::nullopt;
    auto t = trim(lines[1]);
    std::size_t n = 0;
    while (n < t.size() && isHex(t.substr(n, 1))) ++n;
    if (n < 2) return std::nullopt;
    return CdsReport{*len, std::string(t.substr(0, n))};
}

std::optional<int> parseCdsi(const std::string& line) {
    if (!startsWithNoCase(line, "+CDSI:")) return std::nullopt;
    auto f = splitFields(afterColon(line));
    if (f.size() < 2) return std::nullopt;
    auto idx = parseInt(f[1].text);
    if (!idx || *idx < 0) return std::nullopt;
    return idx;
}

std::optional<CusdAnswer> parseCusd(const std::string& line, bool ucs2Charset) {
    if (!startsWithNoCase(line, "+CUSD:")) return std::nullopt;
    auto f = splitFields(afterColon(line));
    if (f.empty()) return std::nullopt;
    auto m = parseInt(f[0].text);
    if (!m || *m < 0 || *m > 5) return std::nullopt;
    CusdAnswer a;
    a.status = *m;
    if (f.size() < 2) return a;
    int dcs = -1;
    if (f.size() > 2) {
        auto d = parseInt(f[2].text);
        if (!d || *d < 0 || *d > 255) return std::nullopt;
        dcs = *d;
    }
    const std::string& s = f[1].text;
    const auto alphabet = alphabetOf(dcs);
    if (alphabet == DcsAlphabet::Ucs2 || ucs2Charset) {
        if (auto g = ucs2Hex(s)) {
            a.textGbk = keepPrintable(*g);
            return a;
        }
    }
    if (alphabet == DcsAlphabet::Data8) return a;  // no text to show
    // A modem in the GSM or IRA set gives the characters themselves.
    a.textGbk = keepPrintable(platform::codepage::utf8ToGbk(s));
    return a;
}

}  // namespace modlink::at
