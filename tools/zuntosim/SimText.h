// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace zuntosim {

// Texts in the character set chosen by AT+CSCS: "UCS2" is hex of UCS-2,
// "HEX" hex of GSM septets, others plain ASCII ('?' for what they lack).
std::string encodeText(std::u16string_view text, const std::string& charset);
// nullopt when the text is not valid in the character set.
std::optional<std::u16string> decodeText(std::string_view text, const std::string& charset);

std::string toHex(std::string_view bytes);

}  // namespace zuntosim
