// SPDX-License-Identifier: LGPL-2.1-or-later
// Short messages in PDU mode (3GPP TS 27.005 3.5): read, list, delete, send.
#include <atomic>
#include <random>

#include "Answers.h"
#include "Commands.h"
#include "Requests.h"
#include "at/CmglParser.h"
#include "engine/Link.h"
#include "engine/Trace.h"
#include "modlink.h"
#include "smspdu/SmsPdu.h"

namespace modlink::requests {

namespace {

// The listing of a full SIM is long; reading one message is not.
constexpr int kListFactor = 4;

// The reference of the concatenation header changes from one message to
// the next, so a phone never joins parts of two messages (23.040 9.2.3.24.1).
// It starts at a random value: from 0 in every process, a restart would
// repeat the references just used for the same recipient.
std::atomic<unsigned> g_concatRef{std::random_device{}()};

std::string readAnswer(const at::StoredPdu& p) {
    pdu::DecodeOptions o;
    o.hasSmsc = true;
    if (p.length >= 0) o.tpduLength = static_cast<std::size_t>(p.length);
    auto m = pdu::decodePdu(p.pdu, o);
    if (!m) return "ERROR: malformed PDU: " + m.error();
    return pdu::answerText(*m);
}

// Send answers are exactly OK, ERROR or TIMEOUT (the pump compares whole
// strings), so the modem's detail goes to the trace only.
std::string sendAnswer(const at::AtReply& r) {
    if (r.ok()) return "OK";
    return r.status == at::AtStatus::Timeout ? "TIMEOUT" : "ERROR";
}

}  // namespace

std::optional<std::string> cleanSmsNumber(const std::string& number) {
    std::string n;
    for (char c : number) {
        if (c == ' ' || c == '-') continue;  // written groupings, never dialled
        bool ok = (c >= '0' && c <= '9') || c == '*' || c == '#' || (c == '+' && n.empty());
        if (!ok) return std::nullopt;
        n += c;
    }
    std::size_t digits = n.size() - (!n.empty() && n[0] == '+' ? 1 : 0);
    // TP-DA holds at most 20 digits (23.040 9.1.2.5).
    if (digits == 0 || digits > 20) return std::nullopt;
    return n;
}

int readMessage(int device, int index) {
    if (index < 0) return -1;
    return Link::instance().submit(
        device,
        [index](AtChannel& ch, DeviceState&, int id) {
            auto r = ch.execute(command("AT+CMGR=" + std::to_string(index)));
            if (!r.ok()) return emit(MODLINK_EV_READ_MESSAGE, errorText(r), id);
            auto p = at::parseCmgr(r.lines);
            if (!p) {
                // An empty position answers OK without a message on some modems.
                return emit(MODLINK_EV_READ_MESSAGE,
                            r.lines.empty() ? "ERROR: empty" : "ERROR: malformed +CMGR", id);
            }
            emit(MODLINK_EV_READ_MESSAGE, readAnswer(*p), id);
        },
        [](int id, const std::string& why) { emit(MODLINK_EV_READ_MESSAGE, why, id); });
}

int listMessages(int device) {
    return Link::instance().submit(
        device,
        [device](AtChannel& ch, DeviceState&, int) {
            // 4 = all messages (27.005 3.4.2, PDU mode).
            auto r = ch.execute(command("AT+CMGL=4", {}, kListFactor));
            if (!r.ok()) {
                emit(MODLINK_EV_STORED_MESSAGE, errorText(r), device);
                return emitClose(MODLINK_EV_STORED_MESSAGE, device);
            }
            int malformed = 0;
            for (const auto& p : at::parseCmgl(r.lines, &malformed))
                emit(MODLINK_EV_STORED_MESSAGE, std::to_string(p.index), device);
            if (malformed > 0)
                Trace::instance().note(device,
                                       std::to_string(malformed) + " malformed +CMGL entries");
            emitClose(MODLINK_EV_STORED_MESSAGE, device);
        },
        [device](int, const std::string& why) {
            emit(MODLINK_EV_STORED_MESSAGE, why, device);
            emitClose(MODLINK_EV_STORED_MESSAGE, device);
        });
}

int deleteMessage(int device, int index) {
    if (index < 0) return -1;
    return Link::instance().submit(
        device,
        [index](AtChannel& ch, DeviceState&, int id) {
            auto r = ch.execute(command("AT+CMGD=" + std::to_string(index)));
            emit(MODLINK_EV_DELETE_MESSAGE, r.ok() ? "OK" : errorText(r), id);
        },
        [](int id, const std::string& why) { emit(MODLINK_EV_DELETE_MESSAGE, why, id); });
}

int sendMessage(const std::string& number, const std::string& gbkText) {
    auto n = cleanSmsNumber(number);
    if (!n) return -1;
    pdu::SubmitOptions o;
    o.charset = pdu::Charset::Gbk;
    o.concatRef = static_cast<std::uint8_t>(g_concatRef.fetch_add(1) & 0xFF);
    auto parts = pdu::encodeSubmit(*n, gbkText, o);
    if (!parts || parts->empty()) return -1;
    auto list = std::make_shared<std::vector<pdu::SubmitPart>>(std::move(parts).value());
    return Link::instance().submitToLeastBusy(
        [list](AtChannel& ch, DeviceState&, int id) {
            at::AtReply r;
            for (const auto& part : *list) {
                at::AtCommand c = command("AT+CMGS=" + std::to_string(part.tpduLength), {"+CMGS:"});
                c.timeout = sendTimeout();
                c.payload = part.hex;
                r = ch.execute(c);
                if (!r.ok()) {
                    Trace::instance().note(
                        0, "send " + std::to_string(id) + " failed: " + errorText(r));
                    break;
                }
            }
            emit(MODLINK_EV_SEND, sendAnswer(r), id);
        },
        [](int id, const std::string&) { emit(MODLINK_EV_SEND, "ERROR", id); }, true);
}

}  // namespace modlink::requests
