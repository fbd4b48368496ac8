// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace modlink::pdu {

enum class MessageType { Deliver, Submit, StatusReport };
enum class Encoding { Gsm7, Ucs2, Data8 };

// A TP address (TP-OA, TP-DA, TP-RA) or the SMSC address before the TPDU.
struct Address {
    // Digits as sent ('*', '#', 'a'..'c' for BCD 0xA..0xE), with a leading
    // '+' when the type of number is international; for an alphanumeric
    // address, the decoded text in UTF-8.
    std::string number;
    std::uint8_t typeOfAddress = 0x81;  // 23.040 9.1.2.5: 1 TON(3) NPI(4)

    int typeOfNumber() const { return (typeOfAddress >> 4) & 0x07; }
    bool isInternational() const { return typeOfNumber() == 1; }
    bool isAlphanumeric() const { return typeOfNumber() == 5; }
    bool operator==(const Address&) const = default;
};

// TP-SCTS / TP-DT (23.040 9.2.3.11): the sender's local time and its offset
// from UTC in quarter hours (negative west of Greenwich).
struct Timestamp {
    int year = 0;  // two digits, 0..99
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int tzQuarters = 0;
    bool operator==(const Timestamp&) const = default;
};

// The concatenation information element (IEI 0x00 or 0x08).
struct Concat {
    std::uint16_t ref = 0;
    int part = 1;  // 1-based
    int total = 1;
    bool ref16 = false;  // true for IEI 0x08
    bool operator==(const Concat&) const = default;
};

// One decoded TPDU. Fields that a message type lacks keep their defaults.
struct SmsMessage {
    MessageType type = MessageType::Deliver;
    Address smsc;     // number empty when the PDU had no SMSC part or "00"
    Address address;  // TP-OA (deliver), TP-DA (submit), TP-RA (status report)
    std::uint8_t firstOctet = 0;
    std::uint8_t pid = 0;
    std::uint8_t dcs = 0;
    Encoding encoding = Encoding::Gsm7;
    std::u16string text;             // gsm7 and ucs2 (UTF-16, surrogate pairs kept)
    std::vector<std::uint8_t> data;  // 8-bit user data after any header
    std::optional<Concat> concat;
    std::optional<Timestamp> timestamp;  // TP-SCTS (deliver, status report)

    // SMS-SUBMIT and SMS-STATUS-REPORT.
    std::uint8_t reference = 0;  // TP-MR
    // SMS-SUBMIT.
    bool statusReportRequested = false;            // TP-SRR (submit) / TP-SRI (deliver)
    std::optional<std::uint8_t> validityRelative;  // TP-VP when TP-VPF = relative
    // SMS-STATUS-REPORT.
    std::optional<Timestamp> discharge;  // TP-DT
    std::uint8_t status = 0;             // TP-ST
};

}  // namespace modlink::pdu
