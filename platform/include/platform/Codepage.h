// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// Conversions of stored and exchanged texts. They are GBK (code page 936)
// bytes for every character GBK holds, exactly as GBK writes it (the euro
// sign as the single byte 0x80), and GB18030 for every other character
// (four bytes for emoji and rare CJK), so no character is lost and every
// older file reads as before. The program's own texts are UTF-8. Invalid
// input never throws: a byte sequence that is neither becomes U+FFFD, broken
// UTF-8 or a lone surrogate becomes '?'.
namespace platform::codepage {

std::string gbkToUtf8(std::string_view gbk);
std::string utf8ToGbk(std::string_view utf8);

// UCS-2 as SMS and the SIM phonebook carry it: 16-bit units, a character
// beyond the BMP as a surrogate pair (four GB18030 bytes).
std::u16string gbkToUcs2(std::string_view gbk);
std::string ucs2ToGbk(std::u16string_view ucs2);
std::string ucs2ToUtf8(std::u16string_view ucs2);
std::u16string utf8ToUcs2(std::string_view utf8);

// Bytes of the character starting at i: 1, 2, or 4 for a GB18030 four-byte
// sequence (lead, digit, lead, digit); 0 at the end.
std::size_t charLength(std::string_view gbk, std::size_t i);

// Length in bytes of the longest prefix of gbk that fits in maxBytes without
// splitting a character.
std::size_t fitLength(std::string_view gbk, std::size_t maxBytes);

// What the text costs in a message, in bytes: its GBK bytes, and for a
// character GBK lacks what UCS-2 takes (2, or 4 for a surrogate pair).
std::size_t messageCost(std::string_view gbk);

// Length in bytes of the longest prefix of gbk costing at most maxCost and
// no longer than maxBytes, never splitting a character.
std::size_t fitCost(std::string_view gbk, std::size_t maxCost, std::size_t maxBytes);

// Writes text into a fixed field of width bytes: at most width-1 bytes, cut
// at a character boundary, then a NUL. Bytes after the NUL are left as they
// were (a changed record field keeps its old tail).
void putField(char* field, std::size_t width, std::string_view gbk);

// Reads a fixed field that may lack its NUL, never past width.
std::string getField(const char* field, std::size_t width);

// True when c starts a multibyte character (two bytes, or four when a digit
// follows). Inline: scans over whole mailboxes call it per byte.
inline bool isLeadByte(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}

}  // namespace platform::codepage
