// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "smspdu/Result.h"
#include "smspdu/SmsMessage.h"

// Chooses the alphabet of an outgoing text and cuts it into the parts of a
// concatenated message.
namespace modlink::pdu::splitter {

struct Plan {
    Encoding encoding = Encoding::Gsm7;
    std::vector<std::u16string> parts;  // one part: no concatenation header
};

// GSM 7-bit when every unit is in the default alphabet or its extension
// table, else UCS-2.
Encoding chooseEncoding(std::u16string_view text);

// Septets (extension characters count 2) or UTF-16 units.
std::size_t cost(Encoding encoding, std::u16string_view text);

// Capacity of one message: 160 / 70 without a header; with a concatenation
// header 153 / 67 (8-bit reference) or 152 / 66 (16-bit reference).
std::size_t capacity(Encoding encoding, bool concatenated, bool ref16 = false);

// One part when the text fits one message, else as few parts as needed,
// never splitting an escape sequence or a surrogate pair. Fails past 255 parts.
Result<Plan> plan(std::u16string_view text, bool ref16 = false);

// Exactly n parts of about equal size (n = 1: the text must fit one
// message). Fails when n is 0 or above 255, when the text has fewer than n
// characters, or when n parts cannot hold it.
Result<Plan> planExactly(std::u16string_view text, int n, bool ref16 = false);

}  // namespace modlink::pdu::splitter
