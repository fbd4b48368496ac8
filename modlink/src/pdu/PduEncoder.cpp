// SPDX-License-Identifier: LGPL-2.1-or-later
#include "smspdu/PduEncoder.h"

#include "pdu/Fields.h"
#include "pdu/UserData.h"
#include "platform/Codepage.h"
#include "smspdu/Hex.h"
#include "smspdu/TextSplitter.h"

namespace modlink::pdu {

namespace {

constexpr std::uint8_t kDcsGsm7 = 0x00;
constexpr std::uint8_t kDcsUcs2 = 0x08;

std::u16string toUcs2(std::string_view text, Charset charset) {
    return charset == Charset::Gbk ? platform::codepage::gbkToUcs2(text)
                                   : platform::codepage::utf8ToUcs2(text);
}

std::uint8_t dcsFor(Encoding e) {
    return e == Encoding::Ucs2 ? kDcsUcs2 : kDcsGsm7;
}

// The SMSC part: its length counts octets, type of address included.
Result<std::vector<std::uint8_t>> smscPart(std::string_view smsc) {
    if (smsc.empty()) return std::vector<std::uint8_t>{0x00};
    auto a = fields::encodeAddress(smsc, false);
    if (!a) return Error{"SMSC: " + a.error()};
    std::vector<std::uint8_t> out = std::move(a).value();
    out[0] = static_cast<std::uint8_t>(out.size() - 1);
    return out;
}

Result<std::string> deliverPdu(const DeliverRequest& request, Encoding encoding,
                               std::u16string_view text, const std::optional<Concat>& concat) {
    auto smsc = smscPart(request.smsc);
    if (!smsc) return Error{smsc.error()};
    auto oa = fields::encodeAddress(request.number, true, request.typeOfAddress);
    if (!oa) return Error{oa.error()};
    auto ud = userdata::encode(encoding, text, userdata::concatHeader(concat));
    if (!ud) return Error{ud.error()};
    std::vector<std::uint8_t> pdu = *smsc;
    // TP-MTI deliver, TP-MMS set (no more messages waiting), TP-UDHI.
    pdu.push_back(static_cast<std::uint8_t>(0x04 | (concat ? 0x40 : 0)));
    pdu.insert(pdu.end(), oa->begin(), oa->end());
    pdu.push_back(0x00);  // TP-PID
    pdu.push_back(dcsFor(encoding));
    fields::appendTimestamp(pdu, request.timestamp);
    pdu.push_back(ud->udl);
    pdu.insert(pdu.end(), ud->octets.begin(), ud->octets.end());
    return bytesToHex(pdu);
}

}  // namespace

Result<std::vector<SubmitPart>> encodeSubmit(std::string_view number, std::string_view text,
                                             const SubmitOptions& options) {
    auto da = fields::encodeAddress(number, false);
    if (!da) return Error{da.error()};
    std::u16string units = toUcs2(text, options.charset);
    auto plan = splitter::plan(units);
    if (!plan) return Error{plan.error()};
    const auto total = static_cast<int>(plan->parts.size());
    std::vector<SubmitPart> out;
    out.reserve(plan->parts.size());
    for (int i = 0; i < total; ++i) {
        std::optional<Concat> concat;
        if (total > 1) concat = Concat{options.concatRef, i + 1, total, false};
        auto ud = userdata::encode(plan->encoding, plan->parts[i], userdata::concatHeader(concat));
        if (!ud) return Error{ud.error()};
        std::vector<std::uint8_t> tpdu;
        // TP-MTI submit; TP-VPF relative when a validity is given; TP-SRR; TP-UDHI.
        tpdu.push_back(static_cast<std::uint8_t>(0x01 | (options.validityRelative ? 0x10 : 0) |
                                                 (options.statusReport ? 0x20 : 0) |
                                                 (concat ? 0x40 : 0)));
        tpdu.push_back(0x00);  // TP-MR
        tpdu.insert(tpdu.end(), da->begin(), da->end());
        tpdu.push_back(0x00);  // TP-PID
        tpdu.push_back(dcsFor(plan->encoding));
        if (options.validityRelative) tpdu.push_back(*options.validityRelative);
        tpdu.push_back(ud->udl);
        tpdu.insert(tpdu.end(), ud->octets.begin(), ud->octets.end());
        out.push_back({"00" + bytesToHex(tpdu), static_cast<int>(tpdu.size())});
    }
    return out;
}

Result<std::string> encodeDeliver(const DeliverRequest& request) {
    std::u16string units = toUcs2(request.text, request.charset);
    return deliverPdu(request, splitter::chooseEncoding(units), units, request.concat);
}

Result<std::string> encodeStatusReport(const StatusReportRequest& request) {
    auto smsc = smscPart(request.smsc);
    if (!smsc) return Error{smsc.error()};
    auto ra = fields::encodeAddress(request.number, false);
    if (!ra) return Error{ra.error()};
    std::vector<std::uint8_t> pdu = *smsc;
    pdu.push_back(0x06);  // TP-MTI status report, TP-MMS set (no more messages)
    pdu.push_back(request.reference);
    pdu.insert(pdu.end(), ra->begin(), ra->end());
    fields::appendTimestamp(pdu, request.timestamp);
    fields::appendTimestamp(pdu, request.discharge);
    pdu.push_back(request.status);
    return bytesToHex(pdu);
}

Result<std::vector<std::string>> encodeDeliverParts(const DeliverRequest& request, int parts,
                                                    std::uint16_t ref) {
    std::u16string units = toUcs2(request.text, request.charset);
    bool ref16 = request.concat && request.concat->ref16;
    auto plan = splitter::planExactly(units, parts, ref16);
    if (!plan) return Error{plan.error()};
    std::vector<std::string> out;
    for (int i = 0; i < parts; ++i) {
        std::optional<Concat> concat;
        if (parts > 1) concat = Concat{ref, i + 1, parts, ref16};
        auto pdu = deliverPdu(request, plan->encoding, plan->parts[i], concat);
        if (!pdu) return Error{pdu.error()};
        out.push_back(std::move(pdu).value());
    }
    return out;
}

}  // namespace modlink::pdu
