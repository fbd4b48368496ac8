// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <string>
#include <string_view>

#include "at/AtCommand.h"

namespace modlink {

// The answer text of a failed command: "TIMEOUT", or "ERROR" with the
// modem's detail after a colon ("ERROR: +CME ERROR: 10").
std::string errorText(const at::AtReply& reply);

// A field inside a double-quoted answer: raw double quotes become the
// full-width mark (GBK A3 A2), and the text is cut to maxBytes at a
// character boundary.
std::string quotedField(std::string_view gbk, std::size_t maxBytes);

// Numbers the library writes into commands: digits, '+' (first only), '*',
// '#', 'p', 'w'. Anything else would be refused by the modem or could end
// the quoted argument.
bool isDialString(std::string_view number);

}  // namespace modlink
