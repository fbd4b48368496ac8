// SPDX-License-Identifier: LGPL-2.1-or-later
#include "smspdu/Hex.h"

namespace modlink::pdu {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

Result<std::vector<std::uint8_t>> hexToBytes(std::string_view hex) {
    while (!hex.empty() && isSpace(hex.front())) hex.remove_prefix(1);
    while (!hex.empty() && isSpace(hex.back())) hex.remove_suffix(1);
    if (hex.empty()) return Error{"empty PDU"};
    for (std::size_t i = 0; i < hex.size(); ++i) {
        if (hexValue(hex[i]) < 0)
            return Error{"not a hex digit at position " + std::to_string(i + 1)};
    }
    if (hex.size() % 2 != 0)
        return Error{"odd number of hex digits (" + std::to_string(hex.size()) + ")"};
    std::vector<std::uint8_t> out(hex.size() / 2);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<std::uint8_t>(hexValue(hex[2 * i]) * 16 + hexValue(hex[2 * i + 1]));
    return out;
}

std::string bytesToHex(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (std::uint8_t b : bytes) {
        out += kDigits[b >> 4];
        out += kDigits[b & 0x0F];
    }
    return out;
}

}  // namespace modlink::pdu
