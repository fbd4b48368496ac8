// SPDX-License-Identifier: LGPL-2.1-or-later
#include "pdu/UserData.h"

#include <string>

#include "pdu/Gsm7.h"

namespace modlink::pdu::userdata {

namespace {

constexpr std::size_t kMaxSeptets = 160;
constexpr std::size_t kMaxOctets = 140;

// Walks the information elements of a header (without its UDHL octet).
std::optional<Concat> findConcat(std::span<const std::uint8_t> header) {
    std::size_t pos = 0;
    while (pos + 2 <= header.size()) {
        std::uint8_t iei = header[pos];
        std::size_t len = header[pos + 1];
        if (pos + 2 + len > header.size()) break;  // element overruns the header
        auto ie = header.subspan(pos + 2, len);
        Concat c;
        bool found = false;
        if (iei == 0x00 && len == 3) {
            c = Concat{ie[0], ie[2], ie[1], false};
            found = true;
        } else if (iei == 0x08 && len == 4) {
            c = Concat{static_cast<std::uint16_t>((ie[0] << 8) | ie[1]), ie[3], ie[2], true};
            found = true;
        }
        // 23.040 9.2.3.24.1: a zero count or a sequence number out of range
        // means the element is ignored.
        if (found && c.total >= 1 && c.part >= 1 && c.part <= c.total) return c;
        pos += 2 + len;
    }
    return std::nullopt;
}

}  // namespace

Encoding encodingFromDcs(std::uint8_t dcs) {
    switch (dcs >> 4) {
        case 0x0:
        case 0x1:
        case 0x2:
        case 0x3:  // general data coding
        case 0x4:
        case 0x5:
        case 0x6:
        case 0x7:                                    // automatic deletion group
            if (dcs & 0x20) return Encoding::Data8;  // compressed
            switch ((dcs >> 2) & 0x03) {
                case 1:
                    return Encoding::Data8;
                case 2:
                    return Encoding::Ucs2;
                default:
                    return Encoding::Gsm7;
            }
        case 0xE:
            return Encoding::Ucs2;  // message waiting, store, UCS-2
        case 0xF:
            return (dcs & 0x04) ? Encoding::Data8 : Encoding::Gsm7;
        default:
            return Encoding::Gsm7;  // message waiting groups, reserved groups
    }
}

Result<Decoded> read(ByteReader& in, std::uint8_t dcs, bool hasHeader) {
    auto udl = in.byte();
    if (!udl) return Error{"PDU ends before TP-UDL"};
    Decoded d;
    d.encoding = encodingFromDcs(dcs);
    bool septets = d.encoding == Encoding::Gsm7;
    std::size_t need = septets ? gsm7::packedLength(*udl) : *udl;
    auto ud = in.take(need);
    if (!ud) {
        return Error{"user data length " + std::to_string(*udl) +
                     (septets ? " septets" : " octets") + " runs past the end of the PDU (" +
                     std::to_string(need) + " octets needed, " + std::to_string(in.remaining()) +
                     " left)"};
    }
    std::size_t headerOctets = 0;
    if (hasHeader) {
        if (ud->empty()) return Error{"user data header indicated but the user data is empty"};
        headerOctets = std::size_t{(*ud)[0]} + 1;
        bool past = headerOctets > ud->size() || (septets && headerSeptets(headerOctets) > *udl);
        if (past) {
            return Error{"user data header length " + std::to_string(headerOctets - 1) +
                         " runs past the user data"};
        }
        d.concat = findConcat(ud->subspan(1, headerOctets - 1));
    }
    if (septets) {
        auto all = gsm7::unpack(*ud, *udl);
        std::size_t skip = hasHeader ? headerSeptets(headerOctets) : 0;
        d.text = gsm7::fromSeptets(std::span<const std::uint8_t>(all).subspan(skip));
    } else if (d.encoding == Encoding::Ucs2) {
        // A dangling odd octet is dropped rather than failing the message.
        auto body = ud->subspan(headerOctets);
        d.text.reserve(body.size() / 2);
        for (std::size_t i = 0; i + 1 < body.size(); i += 2)
            d.text += static_cast<char16_t>((body[i] << 8) | body[i + 1]);
    } else {
        auto body = ud->subspan(headerOctets);
        d.data.assign(body.begin(), body.end());
    }
    return d;
}

std::vector<std::uint8_t> concatHeader(const std::optional<Concat>& c) {
    if (!c) return {};
    auto total = static_cast<std::uint8_t>(c->total);
    auto part = static_cast<std::uint8_t>(c->part);
    if (c->ref16) {
        return {0x06,
                0x08,
                0x04,
                static_cast<std::uint8_t>(c->ref >> 8),
                static_cast<std::uint8_t>(c->ref & 0xFF),
                total,
                part};
    }
    return {0x05, 0x00, 0x03, static_cast<std::uint8_t>(c->ref & 0xFF), total, part};
}

Result<Encoded> encode(Encoding encoding, std::u16string_view text,
                       const std::vector<std::uint8_t>& header) {
    Encoded e;
    if (encoding == Encoding::Gsm7) {
        auto septets = gsm7::toSeptets(text);
        std::size_t skip = header.empty() ? 0 : headerSeptets(header.size());
        std::size_t udl = skip + septets.size();
        if (udl > kMaxSeptets)
            return Error{"text needs " + std::to_string(udl) + " septets, more than 160"};
        e.octets = gsm7::pack(septets, skip);
        for (std::size_t i = 0; i < header.size(); ++i) e.octets[i] = header[i];
        e.udl = static_cast<std::uint8_t>(udl);
        return e;
    }
    if (encoding == Encoding::Data8) return Error{"8-bit data is not encoded from text"};
    std::size_t udl = header.size() + text.size() * 2;
    if (udl > kMaxOctets)
        return Error{"text needs " + std::to_string(udl) + " octets, more than 140"};
    e.octets = header;
    for (char16_t c : text) {
        e.octets.push_back(static_cast<std::uint8_t>(c >> 8));
        e.octets.push_back(static_cast<std::uint8_t>(c & 0xFF));
    }
    e.udl = static_cast<std::uint8_t>(udl);
    return e;
}

}  // namespace modlink::pdu::userdata
