// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

namespace msgdesk {

// A library request to make again later (UM_RETRYREQUEST's payload): what
// its pending row held, and how often it has failed so far.
struct RetryRequest {
    enum Kind { Read, PhonebookInfo, MessageInfo };
    Kind kind = Read;
    int rowDevice = 0;  // device, or device + 16 for a read of the SIM listing
    std::string text;   // the row's text: the SIM index, or "NULL"
    int failures = 1;
};

}  // namespace msgdesk
