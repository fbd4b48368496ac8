// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <memory>
#include <string>

namespace msgdesk {

// A short message read from a SIM card, cut into its fields by the device
// callback and posted to the window thread as UM_SIMRECORD's payload. Texts
// are GBK bytes as delivered, not yet cut to the record's field widths.
struct ReceivedSms {
    int device = 0;               // 1..16
    int simIndex = 0;             // storage index on the SIM
    bool fromSimListing = false;  // read for the start-up listing, not a new message
    bool hasText = false;         // false for an empty answer: nothing to file
    std::string number;
    std::string date;  // "20yy-MM-dd" from a 12-digit stamp, else as cut
    std::string time;  // "hh:mm:ss" from a 12-digit stamp, else as cut
    std::string body;
    // A part of a concatenated message: its reference, number (1-based)
    // and count; partTotal 0 for a whole message.
    int partRef = 0;
    int partNo = 0;
    int partTotal = 0;
};

}  // namespace msgdesk
