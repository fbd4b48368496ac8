// SPDX-License-Identifier: GPL-3.0-or-later
#include "phone/UssdModel.h"

#include <algorithm>

#include "device/ReportAnswers.h"
#include "device/UssdEvent.h"
#include "device/WindowMessages.h"
#include "res/StringTable.h"

namespace msgdesk {

UssdModel::UssdModel(int deviceCount, std::string lastCodeGbk, Ports ports)
    : code(lastCodeGbk),
      m_deviceCount(std::clamp(deviceCount, 0, kMaxDevices)),
      m_ports(std::move(ports)),
      m_lastCode(std::move(lastCodeGbk)) {
    if (!available())
        m_status = LoadStr(33307);
    else if (m_deviceCount == 0)
        m_status = LoadStr(33310);
}

void UssdModel::setDevice(int device) {
    // A session belongs to its device: changing device ends it.
    if (device == m_device || device < 1 || device > m_deviceCount || busy()) return;
    if (m_session) end();
    m_device = device;
}

bool UssdModel::canSend() const {
    return available() && m_deviceCount > 0 && !busy() && !code.empty();
}

void UssdModel::setStatus(std::string utf8) {
    m_status = std::move(utf8);
    if (m_changed) m_changed();
}

void UssdModel::send() {
    if (!canSend()) return;
    const bool reply = m_session;
    const int id = m_ports.send(m_device, code);
    if (id < 0) {
        m_session = false;
        return setStatus(LoadStr(33311));
    }
    m_pendingId = id;
    if (!reply) m_lastCode = code;
    setStatus(LoadStr(33302));
}

void UssdModel::end() {
    if ((m_session || busy()) && m_ports.cancel) m_ports.cancel(m_device);
    const bool was = m_session || busy();
    m_session = false;
    m_pendingId = -1;
    if (was) setStatus(LoadStr(33304));
}

void UssdModel::onAnswer(const std::string& text) {
    m_pendingId = -1;
    m_session = false;
    const auto a = answers::ussdAnswer(text.c_str());
    if (a.kind == answers::UssdAnswer::Kind::Timeout) return setStatus(LoadStr(33305));
    if (a.kind == answers::UssdAnswer::Kind::Error) {
        // +CME ERROR 4: the modem or network does not offer the operation.
        const std::string unsupported = "CME ERROR: 4";
        if (text.size() >= unsupported.size() &&
            text.compare(text.size() - unsupported.size(), unsupported.size(), unsupported) == 0)
            return setStatus(LoadStr(33306));
        return setStatus(FormatStr(33308, {text}));
    }
    switch (a.status) {
        case 0:
            m_answer = a.text;
            return setStatus(LoadStr(33309));
        case 1:
            m_answer = a.text;
            m_session = true;
            code.clear();  // the reply is typed afresh
            return setStatus(LoadStr(33303));
        case 2:
            if (!a.text.empty()) m_answer = a.text;
            return setStatus(LoadStr(33312));
        case 4:
            return setStatus(LoadStr(33306));
        default:  // 3 another device answered, 5 the network timed out
            return setStatus(LoadStr(33305));
    }
}

std::intptr_t UssdModel::onMessage(const platform::Message& m) {
    if (m.msg != UM_USSDANSWER) return 0;
    const auto* e = reinterpret_cast<const UssdEvent*>(m.lParam);
    // A cancel's answer, or an answer for a request given up, changes nothing.
    if (m.wParam != 0 || !e || e->id != m_pendingId) return 0;
    onAnswer(e->text);
    return 0;
}

}  // namespace msgdesk
