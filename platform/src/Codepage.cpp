// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Codepage.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace platform::codepage {

namespace {

// One converter per thread and direction; iconv_t is not thread-safe.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv_open failed: ") + from + " -> " + to);
    }
    ~Converter() { iconv_close(m_cd); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as possible; returns false at an invalid or
    // unconvertible sequence, leaving in/inLeft there.
    bool run(const char*& in, size_t& inLeft, std::string& out) {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char buf[512];
        while (inLeft > 0) {
            char* o = buf;
            size_t oLeft = sizeof buf;
            size_t r = iconv(m_cd, const_cast<char**>(&in), &inLeft, &o, &oLeft);
            out.append(buf, static_cast<size_t>(o - buf));
            if (r == static_cast<size_t>(-1)) {
                if (errno == E2BIG) continue;
                return false;
            }
        }
        return true;
    }

private:
    iconv_t m_cd;
};

Converter& gbkToUtf8Conv() {
    thread_local Converter c("UTF-8", "GBK");
    return c;
}
Converter& utf8ToGbkConv() {
    thread_local Converter c("GBK", "UTF-8");
    return c;
}
// Only for what GBK lacks: GBK itself stays the first choice both ways, so
// every character it holds keeps its bytes (the euro sign its 0x80).
Converter& gb18030ToUtf8Conv() {
    thread_local Converter c("UTF-8", "GB18030");
    return c;
}
Converter& utf8ToGb18030Conv() {
    thread_local Converter c("GB18030", "UTF-8");
    return c;
}

bool isDigit(unsigned char c) {
    return c >= 0x30 && c <= 0x39;
}

bool isFourByteAt(std::string_view s, size_t i) {
    return i + 3 < s.size() && isLeadByte(static_cast<unsigned char>(s[i])) &&
           isDigit(static_cast<unsigned char>(s[i + 1])) &&
           isLeadByte(static_cast<unsigned char>(s[i + 2])) &&
           isDigit(static_cast<unsigned char>(s[i + 3]));
}

// Converts exactly the n bytes at in with c; false unless all of them make
// whole characters.
bool convertWhole(Converter& c, const char* in, size_t n, std::string& out) {
    std::string piece;
    const char* p = in;
    size_t left = n;
    if (!c.run(p, left, piece) || left != 0) return false;
    out += piece;
    return true;
}

size_t utf8SeqLen(unsigned char c) {
    if (c < 0x80) return 1;
    if ((c & 0xE0) == 0xC0) return 2;
    if ((c & 0xF0) == 0xE0) return 3;
    if ((c & 0xF8) == 0xF0) return 4;
    return 1;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::string gbkToUtf8(std::string_view gbk) {
    std::string out;
    out.reserve(gbk.size() * 3 / 2);
    const char* in = gbk.data();
    size_t left = gbk.size();
    while (left > 0) {
        if (gbkToUtf8Conv().run(in, left, out)) break;
        // What GBK cannot read may be a GB18030 character (four bytes, or
        // one of its few two-byte codes outside GBK).
        const std::string_view rest(in, left);
        const size_t n = isFourByteAt(rest, 0) ? 4 : (left >= 2 ? 2 : 0);
        if (n > 0 && isLeadByte(static_cast<unsigned char>(*in)) &&
            convertWhole(gb18030ToUtf8Conv(), in, n, out)) {
            in += n;
            left -= n;
            continue;
        }
        // An invalid or truncated sequence: one replacement character, and
        // go on after the offending byte (or the pair, when it was a pair).
        out += "\xEF\xBF\xBD";
        size_t skip =
            (isLeadByte(static_cast<unsigned char>(*in)) && left >= 2 &&
             static_cast<unsigned char>(in[1]) >= 0x40 && static_cast<unsigned char>(in[1]) != 0x7F)
                ? 2
                : 1;
        in += skip;
        left -= skip;
    }
    return out;
}

std::string utf8ToGbk(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    const char* in = utf8.data();
    size_t left = utf8.size();
    while (left > 0) {
        if (utf8ToGbkConv().run(in, left, out)) break;
        size_t skip = std::min(left, utf8SeqLen(static_cast<unsigned char>(*in)));
        // Skip continuation bytes of a broken sequence as one character.
        size_t i = 1;
        while (i < skip && (static_cast<unsigned char>(in[i]) & 0xC0) == 0x80) ++i;
        // A whole character GBK lacks (emoji, rare CJK) takes its GB18030
        // form; only broken UTF-8 (or a surrogate written as UTF-8) is '?'.
        if (i != skip || i == 1 || !convertWhole(utf8ToGb18030Conv(), in, i, out)) out += '?';
        in += i;
        left -= i;
    }
    return out;
}

std::u16string utf8ToUcs2(std::string_view utf8) {
    std::u16string out;
    size_t i = 0;
    while (i < utf8.size()) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        size_t n = utf8SeqLen(c);
        char32_t cp = 0xFFFD;
        if (n == 1 && c < 0x80) {
            cp = c;
        } else if (n > 1 && i + n <= utf8.size()) {
            cp = c & (0xFF >> (n + 1));
            bool ok = true;
            for (size_t k = 1; k < n; ++k) {
                unsigned char cc = static_cast<unsigned char>(utf8[i + k]);
                if ((cc & 0xC0) != 0x80) {
                    ok = false;
                    n = k;
                    break;
                }
                cp = (cp << 6) | (cc & 0x3F);
            }
            if (!ok) cp = 0xFFFD;
        } else {
            n = 1;
        }
        if (cp >= 0x10000 && cp <= 0x10FFFF) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp > 0xFFFF ? 0xFFFD : cp);
        }
        i += n;
    }
    return out;
}

std::string ucs2ToUtf8(std::u16string_view ucs2) {
    std::string out;
    for (size_t i = 0; i < ucs2.size(); ++i) {
        char32_t c = ucs2[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < ucs2.size() && ucs2[i + 1] >= 0xDC00 &&
            ucs2[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (ucs2[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        appendUtf8(out, c);
    }
    return out;
}

std::u16string gbkToUcs2(std::string_view gbk) {
    return utf8ToUcs2(gbkToUtf8(gbk));
}

std::string ucs2ToGbk(std::u16string_view ucs2) {
    // A surrogate pair is one character (four GB18030 bytes); a lone
    // surrogate is no character at all and becomes '?'.
    std::u16string units;
    units.reserve(ucs2.size());
    for (size_t i = 0; i < ucs2.size(); ++i) {
        char16_t c = ucs2[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < ucs2.size() && ucs2[i + 1] >= 0xDC00 &&
            ucs2[i + 1] <= 0xDFFF) {
            units += c;
            units += ucs2[++i];
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            units += u'?';
        } else {
            units += c;
        }
    }
    return utf8ToGbk(ucs2ToUtf8(units));
}

std::size_t charLength(std::string_view gbk, std::size_t i) {
    if (i >= gbk.size()) return 0;
    if (isFourByteAt(gbk, i)) return 4;
    return (isLeadByte(static_cast<unsigned char>(gbk[i])) && i + 1 < gbk.size()) ? 2 : 1;
}

std::size_t fitLength(std::string_view gbk, std::size_t maxBytes) {
    size_t i = 0;
    while (i < gbk.size()) {
        size_t n = charLength(gbk, i);
        if (i + n > maxBytes) break;
        i += n;
    }
    return std::min(i, maxBytes);
}

namespace {
// A four-byte sequence from 0x90 on is a character beyond the BMP (a
// surrogate pair in UCS-2); below, a BMP character GBK lacks (one unit).
size_t costOf(std::string_view gbk, size_t i, size_t n) {
    if (n != 4) return n;
    return static_cast<unsigned char>(gbk[i]) >= 0x90 ? 4 : 2;
}
}  // namespace

std::size_t messageCost(std::string_view gbk) {
    size_t cost = 0;
    for (size_t i = 0; i < gbk.size();) {
        size_t n = charLength(gbk, i);
        cost += costOf(gbk, i, n);
        i += n;
    }
    return cost;
}

std::size_t fitCost(std::string_view gbk, std::size_t maxCost, std::size_t maxBytes) {
    size_t i = 0;
    size_t cost = 0;
    while (i < gbk.size()) {
        size_t n = charLength(gbk, i);
        size_t c = costOf(gbk, i, n);
        if (cost + c > maxCost || i + n > maxBytes) break;
        cost += c;
        i += n;
    }
    return i;
}

void putField(char* field, std::size_t width, std::string_view gbk) {
    if (width == 0) return;
    size_t nul = gbk.find('\0');
    if (nul != std::string_view::npos) gbk = gbk.substr(0, nul);
    size_t n = fitLength(gbk, width - 1);
    std::memcpy(field, gbk.data(), n);
    field[n] = '\0';
}

std::string getField(const char* field, std::size_t width) {
    const void* z = std::memchr(field, 0, width);
    size_t n = z ? static_cast<size_t>(static_cast<const char*>(z) - field) : width;
    return std::string(field, n);
}

}  // namespace platform::codepage
