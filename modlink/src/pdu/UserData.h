// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pdu/ByteReader.h"
#include "smspdu/Result.h"
#include "smspdu/SmsMessage.h"

// TP-UDL and TP-UD with the user data header (23.040 9.2.3.16, 9.2.3.24).
namespace modlink::pdu::userdata {

// The alphabet a TP-DCS value selects (23.038 clause 4). Reserved values
// read as the default alphabet, as a receiving entity must; compressed
// text is handed out as 8-bit data since it cannot be shown.
Encoding encodingFromDcs(std::uint8_t dcs);

struct Decoded {
    Encoding encoding = Encoding::Gsm7;
    std::u16string text;
    std::vector<std::uint8_t> data;
    std::optional<Concat> concat;
};

// Reads TP-UDL and TP-UD. Fails when the length runs past the data or the
// header length past the user data; an information element that overruns
// the header ends the header's parsing, the text is still decoded.
Result<Decoded> read(ByteReader& in, std::uint8_t dcs, bool hasHeader);

// The header bytes (with UDHL first) that carry a concatenation element;
// empty without one.
std::vector<std::uint8_t> concatHeader(const std::optional<Concat>& concat);

// Header length in septets, fill bits included (23.040 9.2.3.24).
inline std::size_t headerSeptets(std::size_t headerOctets) {
    return (headerOctets * 8 + 6) / 7;
}

struct Encoded {
    std::uint8_t udl = 0;  // septets for gsm7, octets otherwise
    std::vector<std::uint8_t> octets;
};

// TP-UD of text (gsm7 or ucs2) after `header`. Fails when it exceeds
// 160 septets / 140 octets.
Result<Encoded> encode(Encoding encoding, std::u16string_view text,
                       const std::vector<std::uint8_t>& header);

}  // namespace modlink::pdu::userdata
