// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace modlink::at {

// AT+CPIN? (3GPP TS 27.007 8.3): "+CPIN: <code>", e.g. "READY", "SIM PIN",
// "SIM PUK", "PH-SIM PIN", "NOT READY". The code upper-cased, or nullopt
// without a +CPIN line.
std::optional<std::string> parseCpin(const std::vector<std::string>& lines);

// The tries left for code ("SIM PIN" or "SIM PUK"), from whichever form the
// modem gave: "+CPINR: <code>,<retries>,<default>" (27.007 8.65), Huawei's
// "^CPIN: <code>,[<times>],<puk_times>,<pin_times>,<puk2>,<pin2>", or
// Quectel's "+QPINC: \"SC\",<pin>,<puk>". nullopt when none tells it.
std::optional<int> parsePinTries(const std::vector<std::string>& lines, const std::string& code);

}  // namespace modlink::at
