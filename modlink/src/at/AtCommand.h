// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "AtFinalResult.h"

namespace modlink::at {

// What a command got back: its final result and the information lines that
// belong to it (echo and unsolicited lines removed).
struct AtReply {
    AtStatus status = AtStatus::Timeout;
    int code = -1;
    std::vector<std::string> lines;
    std::string finalLine;

    bool ok() const { return status == AtStatus::Ok; }
};

// One AT command as the channel runs it.
struct AtCommand {
    std::string text;  // "AT+CSQ", without the CR
    std::chrono::milliseconds timeout{5000};
    // Information lines to keep ("+CSQ:"). Empty: keep every line that is not
    // unsolicited (for replies without a prefix, such as +CGSN, and raw use).
    std::vector<std::string> prefixes;
    // Sent after the "> " prompt and ended with Ctrl-Z (AT+CMGS, AT+CMGW).
    std::optional<std::string> payload;
    // ATD and ATA end with call results (NO CARRIER, BUSY, ...) as well.
    bool callResults = false;
    // The command carries a secret (a PIN): the trace shows its name only.
    bool secret = false;
    // Called on the worker thread with the reply, before execute() returns.
    std::function<void(const AtReply&)> handler;
};

}  // namespace modlink::at
