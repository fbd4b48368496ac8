// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "smspdu/Result.h"

namespace modlink::pdu {

// Octets of a hex PDU as modems print it. Surrounding white space (a line's
// CR LF) is ignored; upper and lower case are accepted. Fails on an odd
// number of digits or a non-hex character.
Result<std::vector<std::uint8_t>> hexToBytes(std::string_view hex);

// Upper-case hex, two digits an octet, as AT+CMGS expects it.
std::string bytesToHex(std::span<const std::uint8_t> bytes);

}  // namespace modlink::pdu
