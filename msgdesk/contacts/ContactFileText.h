// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>
#include <string_view>

namespace msgdesk {

// Byte-level checks and conversions for contact files from phones.
bool isValidUtf8(std::string_view s);
// True when s is UTF-8 but for a character cut off at its very end (a file
// cut short), and not UTF-8 as it stands.
bool isUtf8CutAtEnd(std::string_view s);
// Every byte below 0x80 or a lead byte 0x81..0xFE with a trail 0x40..0xFE
// other than 0x7F.
bool isValidGbk(std::string_view s);
// True for bytes no text file holds (NUL and most control characters).
bool looksBinary(std::string_view s);
// The dial characters of a number as phones write it: digits, '*', '#' and
// a '+' in front; blanks, hyphens, brackets and the rest are dropped.
std::string cleanPhoneNumber(std::string_view s);

}  // namespace msgdesk
