// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/SimUnlock.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>

#include "device/DeviceAnswers.h"

namespace msgdesk {

namespace {

bool valid(int d) {
    return d >= 1 && d <= kMaxDevices;
}

// Overwrites a code before its memory is given back.
void wipe(std::string& s) {
    std::fill(s.begin(), s.end(), '\0');
    s.clear();
}

SimCodePrompt promptFor(int device, const SimStateText& st, bool wrong) {
    SimCodePrompt p;
    p.device = device;
    p.code = st.code;
    p.puk = st.code == "SIM PUK";
    p.triesLeft = st.triesLeft;
    p.wrong = wrong;
    std::string zunto = "Zunto(" + std::to_string(device) + ")";
    // What went wrong first, on a line of its own.
    const std::string again = wrong ? (p.puk ? "PUK码错误，请重新输入。\n"
                                       : st.code == "PH-SIM PIN" ? "密码错误，请重新输入。\n"
                                                                 : "PIN码错误，请重新输入。\n")
                                    : "";
    if (p.puk)
        p.message = again + zunto + "的SIM卡已被锁定，请输入PUK码和新的PIN码：";
    else if (st.code == "PH-SIM PIN")
        p.message = again + zunto + "需要PH-SIM PIN码，请输入：";
    else
        p.message = again + zunto + "的SIM卡需要PIN码，请输入：";
    if (st.triesLeft >= 0) p.triesText = "剩余尝试次数：" + std::to_string(st.triesLeft);
    return p;
}

}  // namespace

bool validSimCode(const std::string& code, bool puk) {
    const std::size_t min = puk ? 8 : 4;
    return code.size() >= min && code.size() <= 8 &&
           std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; });
}

SimStateText parseSimState(const std::string& text) {
    SimStateText s;
    auto comma = text.find(',');
    s.code = text.substr(0, comma);
    if (comma != std::string::npos) {
        std::string n = text.substr(comma + 1);
        if (!n.empty() && n.size() <= 2 && n.find_first_not_of("0123456789") == std::string::npos)
            s.triesLeft = std::atoi(n.c_str());
    }
    return s;
}

SimUnlock::SimUnlock(const DeviceLibrary& library, DeviceTable& devices, DeviceLinkPorts& asker,
                     Unlocked unlocked)
    : m_lib(library), m_devices(devices), m_asker(asker), m_unlocked(std::move(unlocked)) {}

bool SimUnlock::cancelled(int device) const {
    return valid(device) && m_phase[device] == Phase::Cancelled;
}

void SimUnlock::reset() {
    for (int d = 0; d <= kMaxDevices; ++d) {
        m_phase[d] = Phase::Idle;
        m_wrong[d] = false;
    }
    m_queue.clear();
    m_sent.clear();
}

void SimUnlock::onSimState(int device, const std::string& text) {
    if (!valid(device)) return;
    {
        std::lock_guard g(m_devices.lock());
        m_devices.setSimLocked(device, true);
    }
    auto st = parseSimState(text);
    m_state[device] = st;
    // Told again at each new callback and after a wrong code; a missing SIM
    // has nothing to ask for.
    if (st.code != "SIM PIN" && st.code != "SIM PUK" && st.code != "PH-SIM PIN") return;
    // A library without EnterSimPin cannot unlock it: no dialog for nothing.
    if (!m_lib.EnterSimPin) {
        m_phase[device] = Phase::Cancelled;
        return;
    }
    if (m_phase[device] == Phase::Cancelled || m_phase[device] == Phase::Queued) return;
    if (m_phase[device] == Phase::Sent) {
        // The state after a wrong code: its answer may still be on its way.
        m_wrong[device] = true;
        if (std::any_of(m_sent.begin(), m_sent.end(),
                        [&](const auto& s) { return s.second == device; }))
            return;
    }
    m_phase[device] = Phase::Queued;
    m_queue.push_back(device);
    askNext();
}

void SimUnlock::onPinAnswer(int id, const std::string& text) {
    auto it = m_sent.find(id);
    if (it == m_sent.end()) return;
    const int device = it->second;
    m_sent.erase(it);
    if (answers::isOk(text.c_str())) {
        m_phase[device] = Phase::Idle;
        m_wrong[device] = false;
        {
            std::lock_guard g(m_devices.lock());
            m_devices.setSimLocked(device, false);
        }
        if (m_unlocked) m_unlocked(device);
        return;
    }
    // A wrong code: the library tells the new state next (4097), which asks
    // again. Anything else (the link closed, the device went away) ends it.
    if (text.find("+CME ERROR") != std::string::npos || answers::isSimLockError(text.c_str())) {
        m_wrong[device] = true;
        return;
    }
    m_phase[device] = Phase::Idle;
}

void SimUnlock::askNext() {
    // One dialog at a time: a second locked device waits for the first.
    if (m_asking) return;
    m_asking = true;
    while (!m_queue.empty()) {
        int device = m_queue.front();
        m_queue.pop_front();
        if (m_phase[device] != Phase::Queued) continue;
        while (!ask(device)) {
        }
    }
    m_asking = false;
}

// False when the code was refused at once and must be asked again.
bool SimUnlock::ask(int device) {
    auto code = m_asker.askSimCode(promptFor(device, m_state[device], m_wrong[device]));
    if (!code) {
        m_phase[device] = Phase::Cancelled;
        return true;
    }
    const bool puk = m_state[device].code == "SIM PUK";
    int id = -1;
    if (validSimCode(code->pin, puk) && (!puk || validSimCode(code->newPin, false)))
        id = m_lib.EnterSimPin(device, code->pin.c_str(), puk ? code->newPin.c_str() : nullptr);
    wipe(code->pin);
    wipe(code->newPin);
    if (id == -1) {
        m_wrong[device] = true;
        return false;
    }
    m_phase[device] = Phase::Sent;
    m_sent[id] = device;
    return true;
}

}  // namespace msgdesk
