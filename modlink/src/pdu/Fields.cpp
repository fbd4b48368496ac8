// SPDX-License-Identifier: LGPL-2.1-or-later
#include "pdu/Fields.h"

#include <cstdlib>
#include <string>

#include "pdu/Gsm7.h"
#include "platform/Codepage.h"

namespace modlink::pdu::fields {

namespace {

// 23.040 9.1.2.3: semi-octet values above 9.
constexpr char kBcdDigits[] = "0123456789*#abc";

constexpr std::size_t kMaxAddressDigits = 20;  // TP address: at most 10 value octets
constexpr std::size_t kMaxSmscOctets = 11;     // type of address and 10 value octets
constexpr std::size_t kMaxAlphanumericSeptets = 11;

std::string bcdDigits(std::span<const std::uint8_t> octets, std::size_t digits) {
    std::string out;
    for (std::size_t i = 0; i < digits && i / 2 < octets.size(); ++i) {
        std::uint8_t nibble = (i % 2 == 0) ? (octets[i / 2] & 0x0F) : (octets[i / 2] >> 4);
        if (nibble == 0x0F) continue;  // filler
        out += kBcdDigits[nibble];
    }
    return out;
}

std::string withPlus(std::uint8_t toa, std::string digits) {
    if (((toa >> 4) & 0x07) == 1 && !digits.empty()) return "+" + digits;
    return digits;
}

int bcdValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c == '*') return 0x0A;
    if (c == '#') return 0x0B;
    return -1;
}

int bcdPair(std::uint8_t o) {
    return (o & 0x0F) * 10 + (o >> 4);
}

std::uint8_t toBcdPair(int v) {
    v = std::abs(v) % 100;
    return static_cast<std::uint8_t>(((v % 10) << 4) | (v / 10));
}

}  // namespace

Result<Address> readSmscAddress(ByteReader& in) {
    auto len = in.byte();
    if (!len) return Error{"PDU ends before the SMSC address length"};
    Address a;
    if (*len == 0) return a;
    if (*len > kMaxSmscOctets)
        return Error{"SMSC address length " + std::to_string(*len) +
                     " is too long (at most 11 octets)"};
    auto body = in.take(*len);
    if (!body) return Error{"PDU ends inside the SMSC address"};
    a.typeOfAddress = (*body)[0];
    a.number = withPlus(a.typeOfAddress, bcdDigits(body->subspan(1), (*len - 1) * 2));
    return a;
}

Result<Address> readAddress(ByteReader& in, const char* field) {
    auto len = in.byte();
    auto toa = in.byte();
    if (!len || !toa) return Error{std::string("PDU ends before ") + field};
    if (*len > kMaxAddressDigits)
        return Error{std::string(field) + " length " + std::to_string(*len) +
                     " is too long (at most 20 digits)"};
    auto body = in.take((*len + 1) / 2);
    if (!body) return Error{std::string("PDU ends inside ") + field};
    Address a;
    a.typeOfAddress = *toa;
    if (a.isAlphanumeric()) {
        // 23.040 9.1.2.5: 7-bit packed characters; the length counts the
        // semi-octets they fill.
        auto septets = gsm7::unpack(*body, std::size_t{*len} * 4 / 7);
        a.number = platform::codepage::ucs2ToUtf8(gsm7::fromSeptets(septets));
    } else {
        a.number = withPlus(a.typeOfAddress, bcdDigits(*body, *len));
    }
    return a;
}

Result<std::vector<std::uint8_t>> encodeAddress(std::string_view number, bool allowAlphanumeric,
                                                std::optional<std::uint8_t> typeOfAddress) {
    if (number.empty()) return Error{"empty number"};
    std::string_view digits = number;
    bool international = digits.front() == '+';
    if (international) digits.remove_prefix(1);
    bool dialable = !digits.empty() && digits.size() <= kMaxAddressDigits;
    for (char c : digits) dialable = dialable && bcdValue(c) >= 0;
    if (dialable) {
        std::uint8_t toa = international ? 0x91 : typeOfAddress.value_or(0x81);
        std::vector<std::uint8_t> out{static_cast<std::uint8_t>(digits.size()), toa};
        for (std::size_t i = 0; i < digits.size(); i += 2) {
            int lo = bcdValue(digits[i]);
            int hi = i + 1 < digits.size() ? bcdValue(digits[i + 1]) : 0x0F;
            out.push_back(static_cast<std::uint8_t>((hi << 4) | lo));
        }
        return out;
    }
    if (!allowAlphanumeric) return Error{"not a valid phone number: " + std::string(number)};
    std::u16string text = platform::codepage::utf8ToUcs2(number);
    if (!gsm7::canEncode(text))
        return Error{"sender name has characters outside the GSM alphabet: " + std::string(number)};
    auto septets = gsm7::toSeptets(text);
    if (septets.size() > kMaxAlphanumericSeptets)
        return Error{"sender name longer than 11 GSM characters: " + std::string(number)};
    auto packed = gsm7::pack(septets);
    std::size_t semiOctets = (septets.size() * 7 + 3) / 4;
    std::vector<std::uint8_t> out{static_cast<std::uint8_t>(semiOctets), 0xD0};
    out.insert(out.end(), packed.begin(), packed.end());
    return out;
}

Timestamp decodeTimestamp(const std::uint8_t* o) {
    Timestamp t;
    t.year = bcdPair(o[0]);
    t.month = bcdPair(o[1]);
    t.day = bcdPair(o[2]);
    t.hour = bcdPair(o[3]);
    t.minute = bcdPair(o[4]);
    t.second = bcdPair(o[5]);
    // Quarter hours; bit 3 of the first (tens) semi-octet is the sign.
    int quarters = (o[6] & 0x07) * 10 + (o[6] >> 4);
    t.tzQuarters = (o[6] & 0x08) ? -quarters : quarters;
    return t;
}

Result<Timestamp> readTimestamp(ByteReader& in, const char* field) {
    auto octets = in.take(7);
    if (!octets) return Error{std::string("PDU ends inside ") + field};
    return decodeTimestamp(octets->data());
}

void appendTimestamp(std::vector<std::uint8_t>& out, const Timestamp& ts) {
    out.push_back(toBcdPair(ts.year));
    out.push_back(toBcdPair(ts.month));
    out.push_back(toBcdPair(ts.day));
    out.push_back(toBcdPair(ts.hour));
    out.push_back(toBcdPair(ts.minute));
    out.push_back(toBcdPair(ts.second));
    int q = std::abs(ts.tzQuarters) % 80;
    out.push_back(
        static_cast<std::uint8_t>(((q % 10) << 4) | (q / 10) | (ts.tzQuarters < 0 ? 0x08 : 0)));
}

}  // namespace modlink::pdu::fields
