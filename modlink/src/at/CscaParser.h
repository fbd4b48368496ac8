// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "NameCodec.h"

namespace modlink::at {

// AT+CSCA? (3GPP TS 27.005 3.3.1): "+CSCA: <sca>,<tosca>". The number is in
// the +CSCS character set, so UCS2 modems send it as hex. An empty centre
// ("+CSCA: "",129") is a valid answer: the empty string.
std::optional<std::string> parseCsca(const std::vector<std::string>& lines, Charset cs);

// The argument of AT+CSCA=: the quoted number and, for an international
// number, type 145.
std::string cscaArgument(const std::string& number, Charset cs);

}  // namespace modlink::at
