// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <string>
#include <vector>

#include "ToolEvents.h"

namespace modlink::tool {

// The attached devices to act on: the one asked for (0: all).
std::vector<int> devicesOf(int chosen);

// "ports": per device its port, USB ids, maker and model (AT+CGMI, AT+CGMM)
// and how it was found; then the serial ports not used, and why.
int portsCommand(ToolEvents& events, int device, int waitSeconds);

// "pin status" and "pin enter": the SIM's state per device; the PIN (or,
// when the SIM wants its PUK, the PUK and a new PIN) read from the terminal
// without echo, or line by line from standard input when that is no
// terminal. Never from the command line, where ps shows it.
int pinCommand(ToolEvents& events, const std::vector<std::string>& args, int device,
               int waitSeconds);

}  // namespace modlink::tool
