// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "smspdu/Result.h"
#include "smspdu/SmsMessage.h"

namespace modlink::pdu {

enum class Charset { Gbk, Utf8 };

struct SubmitOptions {
    Charset charset = Charset::Gbk;  // of the text given to encodeSubmit
    bool statusReport = false;       // TP-SRR
    // TP-VP, relative format (23.040 9.2.3.12.1), e.g. 0xA7 = 24 hours.
    std::optional<std::uint8_t> validityRelative;
    // Reference of the concatenation header when the text needs several
    // parts; the caller changes it from one message to the next.
    std::uint8_t concatRef = 0;
};

struct SubmitPart {
    std::string hex;     // "00" (the modem's default SMSC) then the TPDU
    int tpduLength = 0;  // octets after the SMSC part: the <length> of AT+CMGS
};

// SMS-SUBMIT PDUs for a text: GSM 7-bit when every character allows, else
// UCS-2; a text longer than one message (160 septets / 70 units) becomes
// parts with an 8-bit reference concatenation header (153 septets / 67
// units each). The number is digits, '*', '#', optionally after '+'
// (international). TP-MR is 0: the modem assigns its own.
Result<std::vector<SubmitPart>> encodeSubmit(std::string_view number, std::string_view text,
                                             const SubmitOptions& options = {});

// What an SMS-DELIVER carries, for a simulated network to hand to a phone.
struct DeliverRequest {
    // "+8613912345678" (international), "10086" (unknown type, or
    // typeOfAddress when set, e.g. 0xA1 national), or a sender name of up to
    // 11 GSM characters ("BankInfo"), sent alphanumeric.
    std::string number;
    std::optional<std::uint8_t> typeOfAddress;
    std::string text;
    Charset charset = Charset::Utf8;
    Timestamp timestamp;           // TP-SCTS, the sender's local time and zone
    std::optional<Concat> concat;  // header for one part of a longer message
    std::string smsc;              // SMSC part; empty gives "00"
};

// One SMS-DELIVER PDU (hex, SMSC part first). Fails when the text does not
// fit one message with the header asked for.
Result<std::string> encodeDeliver(const DeliverRequest& request);

// The text of request cut into exactly `parts` concatenated SMS-DELIVER PDUs
// with reference `ref` (request.concat's ref16 chooses the 16-bit element;
// its other fields are ignored). parts = 1 gives one PDU without a header.
Result<std::vector<std::string>> encodeDeliverParts(const DeliverRequest& request, int parts,
                                                    std::uint16_t ref);

// What an SMS-STATUS-REPORT carries (23.040 9.2.2.3), for a simulated
// network to answer a submit that asked for one.
struct StatusReportRequest {
    std::uint8_t reference = 0;  // TP-MR of the submit
    std::string number;          // TP-RA, the recipient
    std::uint8_t status = 0;     // TP-ST
    Timestamp timestamp;         // TP-SCTS, when the centre took the message
    Timestamp discharge;         // TP-DT, when it was delivered or given up
    std::string smsc;            // SMSC part; empty gives "00"
};

// One SMS-STATUS-REPORT PDU (hex, SMSC part first), without TP-PI.
Result<std::string> encodeStatusReport(const StatusReportRequest& request);

}  // namespace modlink::pdu
