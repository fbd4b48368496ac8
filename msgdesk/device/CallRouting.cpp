// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/CallRouting.h"

#include <memory>

#include "device/PhoneRequest.h"
#include "device/WindowMessages.h"

namespace msgdesk {

using platform::Message;

namespace {
// Digits, "+", "*" and "#" only; the empty text passes.
bool isValidNumber(const std::string& s) {
    for (char c : s)
        if (!((c >= '0' && c <= '9') || c == '+' || c == '*' || c == '#')) return false;
    return true;
}
}  // namespace

CallRouting::CallRouting(const DeviceLibrary& library, DeviceLinkPorts& ports)
    : m_lib(library), m_ports(ports) {}

void CallRouting::onPhoneCommand(platform::WPARAM op, const Message& m) {
    const auto* r = reinterpret_cast<const PhoneRequest*>(m.lParam);
    if (!r || op < 1 || op > 226) return;
    auto failed = [&](int code) {
        m_ports.sendToPhoneDialog(
            Message{UM_PHONERESULT, static_cast<platform::WPARAM>(code), RESULT_ERROR, nullptr});
    };
    const int d = r->device;
    switch (op) {
        case 1: {
            const std::string number = r->numberText();
            if (m_lib.DialUp && isValidNumber(number) && m_lib.DialUp(d, number.c_str()) == -1)
                failed(1);
            break;
        }
        case 2: {
            const std::string digits = r->digitsText();
            if (m_lib.DialExt && isValidNumber(digits) && m_lib.DialExt(d, digits.c_str()) == -1)
                failed(2);
            break;
        }
        case 161:
            if (m_lib.AttachPhone && m_lib.AttachPhone(d) == -1) failed(161);
            break;
        case 162:
            if (m_lib.UnattachPhone && m_lib.UnattachPhone(d) == -1) failed(162);
            break;
        case 209:
            if (m_lib.BeginPhone) m_lib.BeginPhone(d);
            break;
        case 210:
            if (m_lib.EndPhone) m_lib.EndPhone(d);
            break;
        case 225:
            if (m_lib.SetVolume) {
                const int res = m_lib.SetVolume(d, r->volume);
                m_ports.setVolumeSetting(r->volume);
                if (res == -1) failed(225);
            }
            break;
        case 226:
            if (m_lib.QureyPhoneStatus) m_lib.QureyPhoneStatus(d);
            break;
        default:
            break;
    }
}

void CallRouting::onCallNotify(const Message& m) {
    if (m.payload) m_callerText = *static_cast<const std::string*>(m.payload.get());
    const auto w = m.wParam;
    if (w <= static_cast<platform::WPARAM>(kMaxDevices)) {
        m_ports.startRinging();
        m_ports.showPhoneDialog();
    } else {
        if (m_lib.EndPhone) m_lib.EndPhone(static_cast<int>(w) - kMaxDevices);
        m_ports.stopRinging();
    }
    auto caller = std::make_shared<std::string>(m_callerText);
    m_ports.sendToPhoneDialog(
        Message{UM_CALLNOTIFY, w, reinterpret_cast<platform::LPARAM>(caller->c_str()), caller});
}

void CallRouting::onPhoneResult(const Message& m) {
    if (!m_ports.phoneDialogExists()) return;
    const auto op = m.wParam;
    if (op == 162) m_ports.stopRinging();
    if (op == 1 || op == 2 || op == 161 || op == 162 || op == 225 || op == 226)
        m_ports.sendToPhoneDialog(Message{m.msg, m.wParam, m.lParam, nullptr});
}

}  // namespace msgdesk
