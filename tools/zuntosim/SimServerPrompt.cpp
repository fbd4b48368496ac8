// SPDX-License-Identifier: GPL-3.0-or-later
// SimServer's "> " prompt (AT+CMGS, AT+CMGW) and the network's answer to a
// send (AT+CMGS, AT+CMSS), 3GPP TS 27.005 3.5.1 - 3.5.3, PDU mode.
#include "SimServer.h"
#include "SimSms.h"
#include "smspdu/SmsPdu.h"

namespace zuntosim {

namespace {

// 27.005 3.2.5.
constexpr int kCmsNotAllowed = 302;
constexpr int kCmsNotSupported = 303;
constexpr int kCmsInvalidPdu = 304;
constexpr int kCmsInvalidIndex = 321;
constexpr int kCmsMemoryFull = 322;
constexpr int kCmsUnknown = 500;

}  // namespace

bool SimServer::beginPrompt(Modem& m, const SimCommand& cmd) {
    // AT+CMGS=<length>, AT+CMGW=<length>[,<stat>]; stat 2 (unsent) by default.
    auto a = splitArgs(cmd.args);
    int length = 0, stat = 2;
    bool ok = !a.empty() && a.size() <= (cmd.name == "+CMGW" ? 2u : 1u) &&
              parseCount(a[0], length) && length >= 7 && length <= 164;
    if (ok && a.size() == 2) ok = parseCount(a[1], stat) && stat <= 3;
    if (!ok) {
        SimReply r;
        cmsError(m.state, r, kCmsInvalidPdu);
        send(m, "\r\n" + r.final + "\r\n");
        return false;
    }
    m.promptCommand = cmd.name;
    m.promptStat = stat;
    m.promptLength = length;
    m.promptText.clear();
    send(m, "\r\n> ");
    return true;
}

void SimServer::submitPrompt(Modem& m) {
    std::string hex = m.promptText;
    int length = m.promptLength;
    m.promptLength = -1;
    m.promptText.clear();
    log(m.number, "received", hex + "<ctrl-z>");
    modlink::pdu::DecodeOptions o;
    o.tpduLength = static_cast<std::size_t>(length);
    auto msg = modlink::pdu::decodePdu(hex, o);
    SimReply r;
    using modlink::pdu::MessageType;
    bool write = m.promptCommand == "+CMGW";
    // A message written to the SIM is stored with a stat that fits it:
    // outgoing ones unsent or sent, incoming ones unread or read.
    MessageType wanted = !write || m.promptStat >= 2 ? MessageType::Submit : MessageType::Deliver;
    if (!msg || msg->type != wanted || tpduLength(hex) != length) {
        cmsError(m.state, r, kCmsInvalidPdu);
        return send(m, "\r\n" + r.final + "\r\n");
    }
    if (write) {
        auto index = storeMessages(m.state, {hex}, m.promptStat);
        if (index.empty()) {
            cmsError(m.state, r, kCmsMemoryFull);
            return send(m, "\r\n" + r.final + "\r\n");
        }
        return send(m, "\r\n+CMGW: " + std::to_string(index[0]) + "\r\n\r\nOK\r\n");
    }
    toNetwork(m, hex, msg->address.number, "+CMGS", 0);
}

void SimServer::sendStored(Modem& m, const SimCommand& cmd) {
    // AT+CMSS=<index>[,<da>[,<toda>]]: only to the stored destination here.
    auto a = splitArgs(cmd.args);
    SimReply r;
    int index = 0;
    auto it = m.state.messages.end();
    if (!a.empty() && parseCount(a[0], index)) it = m.state.messages.find(index);
    if (it == m.state.messages.end()) {
        cmsError(m.state, r, kCmsInvalidIndex);
    } else if (a.size() > 1 && !a[1].empty()) {
        cmsError(m.state, r, kCmsNotSupported);
    } else if (m.state.cmgf != 0) {
        cmsError(m.state, r, kCmsNotAllowed);
    } else {
        auto msg = modlink::pdu::decodePdu(it->second);
        if (msg && msg->type == modlink::pdu::MessageType::Submit)
            return toNetwork(m, it->second, msg->address.number, "+CMSS", index);
        cmsError(m.state, r, kCmsNotAllowed);  // a received message is not sent on
    }
    send(m, "\r\n" + r.final + "\r\n");
}

void SimServer::toNetwork(Modem& m, const std::string& hex, const std::string& number,
                          const std::string& prefix, int storedIndex) {
    SimReply r;
    auto fault = m_sendFaults.find(number);
    if (fault == m_sendFaults.end() && !number.empty() && number[0] == '+')
        fault = m_sendFaults.find(number.substr(1));
    if (fault != m_sendFaults.end()) {
        bool timeout = fault->second.timeout;
        if (--fault->second.count <= 0) m_sendFaults.erase(fault);
        if (timeout) {
            m.stuck = true;
            log(m.number, "dropped", "send to " + number + " (stuck until ESC)");
            return;
        }
        cmsError(m.state, r, kCmsUnknown);
        return reply(m, "\r\n" + r.final + "\r\n", m_sendLatencyMs);
    }
    // A modem stores the SMSC part as "00" when the default centre is used.
    m.state.sent.push_back(hex);
    if (storedIndex > 0) m.state.messageStat[storedIndex] = 3;
    int mr = m.state.nextReference;
    m.state.nextReference = (mr + 1) % 256;
    scheduleReport(m, hex, mr);
    reply(m, "\r\n" + prefix + ": " + std::to_string(mr) + "\r\n\r\nOK\r\n", m_sendLatencyMs);
}

}  // namespace zuntosim
