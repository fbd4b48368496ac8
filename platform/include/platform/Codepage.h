// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// GBK (code page 936) conversions. Stored and exchanged texts are GBK bytes;
// the program's own texts are UTF-8. Invalid input never throws: a byte
// sequence that is not GBK becomes U+FFFD, a character GBK cannot hold
// becomes '?'.
namespace platform::codepage {

std::string gbkToUtf8(std::string_view gbk);
std::string utf8ToGbk(std::string_view utf8);

// UCS-2 as SMS and the SIM phonebook carry it: big-endian 16-bit units.
// Surrogate pairs (characters outside the BMP) become '?' in GBK.
std::u16string gbkToUcs2(std::string_view gbk);
std::string ucs2ToGbk(std::u16string_view ucs2);
std::string ucs2ToUtf8(std::u16string_view ucs2);
std::u16string utf8ToUcs2(std::string_view utf8);

// Length in bytes of the longest prefix of gbk that fits in maxBytes without
// splitting a two-byte character.
std::size_t fitLength(std::string_view gbk, std::size_t maxBytes);

// Writes text into a fixed field of width bytes: at most width-1 bytes, cut
// at a character boundary, then a NUL. Bytes after the NUL are left as they
// were (a changed record field keeps its old tail).
void putField(char* field, std::size_t width, std::string_view gbk);

// Reads a fixed field that may lack its NUL, never past width.
std::string getField(const char* field, std::size_t width);

// True when the byte at position i of s starts a two-byte GBK character.
bool isLeadByte(unsigned char c);

}  // namespace platform::codepage
