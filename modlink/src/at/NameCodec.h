// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace modlink::at {

// The character set the modem was told with AT+CSCS (3GPP TS 27.007 5.5).
enum class Charset { Ucs2, Gsm, Ira, Hex, Other };

Charset charsetFromName(std::string_view name);

// Decodes a text field of a reply (a phonebook name) to GBK. In UCS2 the
// field is hex of big-endian UCS-2; the SIM's own alpha formats (TS 31.102
// annex A: 0x80 UCS-2, 0x81 and 0x82 with a base pointer) are recognised
// too, and hex whose length cannot be UCS-2 is read as 8-bit GSM septets.
// A modem that ignored the character set sends plain text: kept as it is,
// or converted from UTF-8. Control characters are dropped.
std::string decodeText(std::string_view field, Charset cs);

// Encodes a GBK text for a command argument in the given character set.
// Outside UCS2 and HEX, characters the modem cannot take become '?', and a
// double quote (which would end the argument) becomes a single quote.
std::string encodeText(std::string_view gbk, Charset cs);

// Numbers are meant to be plain digits, but some modems send +CSCA and
// phonebook numbers in the UCS2 character set as hex ("002B0038...").
// Keeps '+', digits, '*', '#', 'p', 'w' and ','; a type of 145
// (international) gets the '+' it may lack.
std::string decodeNumber(std::string_view field, Charset cs, int type = -1);

// A phonebook number as the phone gave it (UCS2 hex decoded, the '+' of
// type 145 added), nothing dropped: nullopt when it holds a control byte or
// a byte outside ASCII, which no number can.
std::optional<std::string> decodeNumberAsGiven(std::string_view field, Charset cs, int type = -1);
// Digits, '*', '#', 'p', 'w', ',' with an optional leading '+'.
bool isDialNumber(std::string_view number);

}  // namespace modlink::at
