// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace modlink::at {

// AT+CSQ (3GPP TS 27.007 8.5): "+CSQ: <rssi>,<ber>". rssi is 0..31 or 99
// (unknown); anything else is a malformed reply.
std::optional<int> parseCsq(const std::vector<std::string>& lines);

}  // namespace modlink::at
