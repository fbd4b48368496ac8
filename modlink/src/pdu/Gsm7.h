// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The GSM 7-bit default alphabet and its extension table (3GPP TS 23.038
// 6.2.1 and 6.2.1.1), and the packing of septets into octets (6.1.2.1).
namespace modlink::pdu::gsm7 {

inline constexpr std::uint8_t kEscape = 0x1B;

// Septets needed for one UTF-16 unit: 1 (default table), 2 (escape and
// extension table) or 0 (not in the alphabet).
int septetsFor(char16_t c);

// True when every unit of text is in the default alphabet or the extension table.
bool canEncode(std::u16string_view text);

// Septets of text, two for an extension character; a unit outside the
// alphabet becomes '?'.
std::vector<std::uint8_t> toSeptets(std::u16string_view text);

// Text of septets. An escape before a code the extension table lacks gives
// that code's default character, escape-escape gives a space, and a
// trailing escape is dropped.
std::u16string fromSeptets(std::span<const std::uint8_t> septets);

// Packs septets into octets, the first one starting at septet position
// `offset` (the positions before it are left zero for a header to fill).
std::vector<std::uint8_t> pack(std::span<const std::uint8_t> septets, std::size_t offset = 0);

// Unpacks `count` septets from octets; the caller ensures
// count * 7 <= octets.size() * 8.
std::vector<std::uint8_t> unpack(std::span<const std::uint8_t> octets, std::size_t count);

// Octets that hold `septets` packed septets.
inline std::size_t packedLength(std::size_t septets) {
    return (septets * 7 + 7) / 8;
}

}  // namespace modlink::pdu::gsm7
