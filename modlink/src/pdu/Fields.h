// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "pdu/ByteReader.h"
#include "smspdu/Result.h"
#include "smspdu/SmsMessage.h"

// The fixed-layout fields shared by the TPDU types: addresses
// (23.040 9.1.2.5) and time stamps (9.2.3.11).
namespace modlink::pdu::fields {

// The SMSC part before the TPDU (27.005 3.3.1: length in octets, then
// type of address and BCD digits); length 0 means none.
Result<Address> readSmscAddress(ByteReader& in);

// TP-OA / TP-DA / TP-RA: length in semi-octets (digits, or the semi-octets
// the packed 7-bit characters take), type of address, value. `field` names
// the field in error messages.
Result<Address> readAddress(ByteReader& in, const char* field);

// Encodes a TP address. "+" and digits give an international number;
// digits, '*' and '#' an unknown-type one (or `typeOfAddress` when given);
// with allowAlphanumeric, any other text of up to 11 GSM characters an
// alphanumeric one.
Result<std::vector<std::uint8_t>> encodeAddress(std::string_view numberUtf8, bool allowAlphanumeric,
                                                std::optional<std::uint8_t> typeOfAddress = {});

// Seven semi-octet swapped octets; never fails once 7 octets are there.
// A digit nibble above 9 is taken at face value (lenient), so fields may
// exceed their calendar range on garbled input.
Timestamp decodeTimestamp(const std::uint8_t* octets);
Result<Timestamp> readTimestamp(ByteReader& in, const char* field);
void appendTimestamp(std::vector<std::uint8_t>& out, const Timestamp& ts);

}  // namespace modlink::pdu::fields
