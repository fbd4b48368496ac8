// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Small text helpers shared by the reply parsers.
namespace modlink::at {

std::string_view trim(std::string_view s);
bool startsWith(std::string_view s, std::string_view prefix);
bool startsWithNoCase(std::string_view s, std::string_view prefix);
bool equalsNoCase(std::string_view a, std::string_view b);
// A whole decimal, optionally signed, nothing else; no overflow.
std::optional<int> parseInt(std::string_view s);
bool isHex(std::string_view s);
// Hex pairs to bytes; nullopt on an odd length or a non-hex digit.
std::optional<std::string> hexToBytes(std::string_view hex);
std::string bytesToHex(std::string_view bytes);

// One field of a comma-separated reply: quoted or bare.
struct AtField {
    std::string text;
    bool quoted = false;
};

// Splits the part of an information line after "+XXX:" into fields. Commas
// inside quotes or parentheses do not split. A quote inside a quoted field
// that is not followed by a comma or the end is kept as text (some phones
// do not escape names), and an unterminated quote runs to the end.
std::vector<AtField> splitFields(std::string_view s);

// The text after the first ':' of an information line, trimmed.
std::string_view afterColon(std::string_view line);

// Finds the first line that starts with prefix ("+CSQ:").
std::optional<std::string_view> findLine(const std::vector<std::string>& lines,
                                         std::string_view prefix);

}  // namespace modlink::at
