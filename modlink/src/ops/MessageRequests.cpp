// SPDX-License-Identifier: LGPL-2.1-or-later
// Short messages in PDU mode (3GPP TS 27.005 3.5): read, list, delete, send.
#include <atomic>
#include <random>

#include "Answers.h"
#include "Commands.h"
#include "Requests.h"
#include "at/AtText.h"
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

// TP-SRR of the next submitted PDUs (SetStatusReports); off at start.
std::atomic<bool> g_statusReports{false};

pdu::Result<pdu::SmsMessage> decodeStored(const at::StoredPdu& p) {
    pdu::DecodeOptions o;
    o.hasSmsc = true;
    if (p.length >= 0) o.tpduLength = static_cast<std::size_t>(p.length);
    return pdu::decodePdu(p.pdu, o);
}

bool isReport(const pdu::Result<pdu::SmsMessage>& m) {
    return m && m->type == pdu::MessageType::StatusReport;
}

// Send answers are exactly OK, ERROR or TIMEOUT (the pump compares whole
// strings), so the modem's detail goes to the trace only.
std::string sendAnswer(const at::AtReply& r) {
    if (r.ok()) return "OK";
    return r.status == at::AtStatus::Timeout ? "TIMEOUT" : "ERROR";
}

}  // namespace

void setStatusReports(bool on) {
    g_statusReports.store(on);
}

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
            auto m = decodeStored(*p);
            if (!m) return emit(MODLINK_EV_READ_MESSAGE, "ERROR: malformed PDU: " + m.error(), id);
            // A status report stored where messages are is reported as one
            // (4100) and deleted, never read as a message.
            if (isReport(m)) {
                emitStatusReport(*m, ch.device());
                ch.execute(command("AT+CMGD=" + std::to_string(index)));
                return emit(MODLINK_EV_READ_MESSAGE, "ERROR: status report", id);
            }
            emit(MODLINK_EV_READ_MESSAGE, pdu::answerText(*m), id);
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
            std::vector<int> reports;
            for (const auto& p : at::parseCmgl(r.lines, &malformed)) {
                auto m = decodeStored(p);
                if (isReport(m)) {
                    emitStatusReport(*m, device);
                    reports.push_back(p.index);
                    continue;
                }
                emit(MODLINK_EV_STORED_MESSAGE, std::to_string(p.index), device);
            }
            // Reports are delivered above; their SIM positions are freed.
            for (int index : reports) ch.execute(command("AT+CMGD=" + std::to_string(index)));
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
    o.statusReport = g_statusReports.load();
    auto parts = pdu::encodeSubmit(*n, gbkText, o);
    if (!parts || parts->empty()) return -1;
    auto list = std::make_shared<std::vector<pdu::SubmitPart>>(std::move(parts).value());
    return Link::instance().submitToLeastBusy(
        [list](AtChannel& ch, DeviceState&, int id) {
            at::AtReply r;
            // TP-MR of each part, as the modem gave it (+CMGS: <mr>).
            std::string refs;
            bool refsKnown = true;
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
                auto mr = sentReference(r);
                refsKnown = refsKnown && mr.has_value();
                if (mr) refs += (refs.empty() ? "" : ",") + std::to_string(*mr);
            }
            if (r.ok() && refsKnown) {
                emit(MODLINK_EV_SEND_REFS,
                     "\"" + std::to_string(ch.device()) + "\",\"" + refs + "\"", id);
            } else if (r.ok()) {
                Trace::instance().note(
                    ch.device(), "send " + std::to_string(id) + ": no message reference in +CMGS");
            }
            emit(MODLINK_EV_SEND, sendAnswer(r), id);
        },
        [](int id, const std::string&) { emit(MODLINK_EV_SEND, "ERROR", id); }, true);
}

}  // namespace modlink::requests
