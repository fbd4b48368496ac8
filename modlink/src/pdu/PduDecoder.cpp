// SPDX-License-Identifier: LGPL-2.1-or-later
#include "smspdu/PduDecoder.h"

#include "pdu/ByteReader.h"
#include "pdu/Fields.h"
#include "pdu/UserData.h"
#include "smspdu/Hex.h"

namespace modlink::pdu {

namespace {

constexpr std::uint8_t kUdhi = 0x40;

// Takes the shared tail of the three types: the user data.
Result<SmsMessage> finishUserData(SmsMessage m, ByteReader& in, bool present = true) {
    if (!present) {
        m.encoding = userdata::encodingFromDcs(m.dcs);
        return m;
    }
    auto ud = userdata::read(in, m.dcs, (m.firstOctet & kUdhi) != 0);
    if (!ud) return Error{ud.error()};
    m.encoding = ud->encoding;
    m.text = std::move(ud.value().text);
    m.data = std::move(ud.value().data);
    m.concat = ud->concat;
    return m;
}

Result<SmsMessage> readDeliver(SmsMessage m, ByteReader& in) {
    m.type = MessageType::Deliver;
    m.statusReportRequested = (m.firstOctet & 0x20) != 0;  // TP-SRI
    auto oa = fields::readAddress(in, "TP-OA");
    if (!oa) return Error{oa.error()};
    m.address = *oa;
    auto pid = in.byte();
    auto dcs = in.byte();
    if (!pid || !dcs) return Error{"PDU ends before TP-PID/TP-DCS"};
    m.pid = *pid;
    m.dcs = *dcs;
    auto ts = fields::readTimestamp(in, "TP-SCTS");
    if (!ts) return Error{ts.error()};
    m.timestamp = *ts;
    return finishUserData(std::move(m), in);
}

Result<SmsMessage> readSubmit(SmsMessage m, ByteReader& in) {
    m.type = MessageType::Submit;
    m.statusReportRequested = (m.firstOctet & 0x20) != 0;  // TP-SRR
    auto mr = in.byte();
    if (!mr) return Error{"PDU ends before TP-MR"};
    m.reference = *mr;
    auto da = fields::readAddress(in, "TP-DA");
    if (!da) return Error{da.error()};
    m.address = *da;
    auto pid = in.byte();
    auto dcs = in.byte();
    if (!pid || !dcs) return Error{"PDU ends before TP-PID/TP-DCS"};
    m.pid = *pid;
    m.dcs = *dcs;
    // TP-VPF (23.040 9.2.3.3): none, enhanced (7), relative (1), absolute (7).
    switch ((m.firstOctet >> 3) & 0x03) {
        case 2: {
            auto vp = in.byte();
            if (!vp) return Error{"PDU ends inside TP-VP"};
            m.validityRelative = *vp;
            break;
        }
        case 1:
        case 3:
            if (!in.take(7)) return Error{"PDU ends inside TP-VP"};
            break;
        default:
            break;
    }
    return finishUserData(std::move(m), in);
}

Result<SmsMessage> readStatusReport(SmsMessage m, ByteReader& in) {
    m.type = MessageType::StatusReport;
    auto mr = in.byte();
    if (!mr) return Error{"PDU ends before TP-MR"};
    m.reference = *mr;
    auto ra = fields::readAddress(in, "TP-RA");
    if (!ra) return Error{ra.error()};
    m.address = *ra;
    auto scts = fields::readTimestamp(in, "TP-SCTS");
    if (!scts) return Error{scts.error()};
    m.timestamp = *scts;
    auto dt = fields::readTimestamp(in, "TP-DT");
    if (!dt) return Error{dt.error()};
    m.discharge = *dt;
    auto st = in.byte();
    if (!st) return Error{"PDU ends before TP-ST"};
    m.status = *st;
    // TP-PI and what it announces are optional (23.040 9.2.2.3); many
    // networks end the report here, and stores pad the rest.
    auto pi = in.byte();
    if (!pi || (*pi & 0x78) != 0) return finishUserData(std::move(m), in, false);
    for (std::uint8_t ext = *pi; ext & 0x80;) {
        auto next = in.byte();
        if (!next) break;
        ext = *next;
    }
    if (*pi & 0x01) {
        auto pid = in.byte();
        if (!pid) return finishUserData(std::move(m), in, false);
        m.pid = *pid;
    }
    if (*pi & 0x02) {
        auto dcs = in.byte();
        if (!dcs) return finishUserData(std::move(m), in, false);
        m.dcs = *dcs;
    }
    bool udPresent = (*pi & 0x04) && in.remaining() > 0;
    return finishUserData(std::move(m), in, udPresent);
}

}  // namespace

Result<SmsMessage> decodePdu(std::string_view hex, const DecodeOptions& options) {
    auto bytes = hexToBytes(hex);
    if (!bytes) return Error{bytes.error()};
    ByteReader in(*bytes);
    SmsMessage m;
    bool hasSmsc = options.hasSmsc;
    if (options.tpduLength && *options.tpduLength == bytes->size()) hasSmsc = false;
    if (hasSmsc) {
        auto smsc = fields::readSmscAddress(in);
        if (!smsc) return Error{smsc.error()};
        m.smsc = *smsc;
    }
    auto first = in.byte();
    if (!first) return Error{"PDU ends before the first TPDU octet"};
    m.firstOctet = *first;
    switch (m.firstOctet & 0x03) {
        case 1:
            return readSubmit(std::move(m), in);
        case 2:
            return readStatusReport(std::move(m), in);
        default:
            return readDeliver(std::move(m), in);
    }
}

}  // namespace modlink::pdu
