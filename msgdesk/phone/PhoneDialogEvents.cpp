// SPDX-License-Identifier: GPL-3.0-or-later
// The phone dialog's answers from the main frame and its timers.
#include <cstdio>

#include "device/WindowMessages.h"
#include "phone/PhoneDialogCore.h"
#include "phone/PhoneIds.h"

namespace msgdesk {

using namespace phone;

std::intptr_t PhoneDialogCore::onMessage(const platform::Message& m) {
    handleMessage(m);
    return 0;
}

bool PhoneDialogCore::handleMessage(const platform::Message& m) {
    if (m.msg == UM_CALLNOTIFY) {
        onCallNotify(m.wParam, reinterpret_cast<const char*>(m.lParam));
        return true;
    }
    if (m.msg == UM_PHONERESULT) {
        onPhoneResult(static_cast<int>(m.wParam), static_cast<int>(m.lParam));
        return true;
    }
    if (m.msg == UM_DEVICEGONE) {
        onDeviceGone(static_cast<int>(m.wParam));
        return true;
    }
    return false;
}

void PhoneDialogCore::onCallNotify(platform::WPARAM w, const char* caller) {
    if (w == 0) return;
    if (w > static_cast<platform::WPARAM>(kMaxDevices)) {
        callEnded();
        return;
    }
    if (!m_ringing) {
        m_request.device = static_cast<int>(w);
        notify(Field::Device);
        m_incoming.add(caller ? caller : "");
        loadDigits(m_incoming.entry(0));
        setStatus(kStatusIncoming);
        m_loop.setTimer(this, TIMER_RING, kRingMs);
    }
    m_ringing = true;
}

void PhoneDialogCore::callUp() {
    m_inCall = true;
    // A second "up" of the same call keeps its start.
    if (!m_timing) {
        m_callStartMs = m_clockSource.monotonicMs();
        m_duration = 0;
        m_timing = true;
    }
    setStatus(kStatusConnected);
}

void PhoneDialogCore::onDeviceGone(int device) {
    if (device != static_cast<int>(DEVICE_GONE_ALL) && device != m_request.device) return;
    if (m_ringing || m_dialling || m_inCall) callEnded(false);
    pickAttachedDevice();
}

void PhoneDialogCore::callEnded(bool tellDevice) {
    m_ringing = m_inCall = m_dialling = false;
    if (tellDevice) command(OP_END);
    // The duration as of now, also when the clock was stopped by hiding.
    if (m_timing)
        m_duration = static_cast<long>((m_clockSource.monotonicMs() - m_callStartMs) / 1000);
    showDuration();
    m_duration = 0;
    m_timing = false;
    stopRing();
    setStatus(kStatusHungUp);
}

void PhoneDialogCore::showDuration() {
    char b[16];
    std::snprintf(b, sizeof b, "%02ld:%02ld:%02ld", (m_duration / 3600) % 100, m_duration / 60 % 60,
                  m_duration % 60);
    m_cells.fill(' ');
    for (int i = 0; i < 8; ++i) m_cells[static_cast<size_t>(kCells - 8 + i)] = b[i];
    notify(Field::Cells);
}

void PhoneDialogCore::stopRing() {
    m_loop.killTimer(this, TIMER_RING);
    // The picture returns to rest rather than freezing mid-ring.
    m_ringFrame = IDB_RING_REST;
    notify(Field::Ring);
}

void PhoneDialogCore::onPhoneResult(int op, int code) {
    setStatus(kStatusEmpty);
    switch (op) {
        case OP_DIALUP:
            if (code == RESULT_OK) break;
            m_dialling = false;
            setStatus(kStatusDialFailed);
            command(OP_END);
            break;
        case OP_ATTACH:
            if (code == RESULT_OK) {
                m_ringing = false;  // answered: keys and tones work again
                callUp();
            } else if (code == RESULT_TIMEOUT) {
                // Only while the call still rings: a call that ended meanwhile
                // is not answered again.
                if (m_ringing) command(OP_ATTACH);
            } else {
                setStatus(kStatusAnswerFailed);
            }
            break;
        case OP_UNATTACH:
            if (code == RESULT_OK)
                callEnded();
            else if (code == RESULT_TIMEOUT)
                command(OP_UNATTACH);
            else
                setStatus(kStatusHangUpFailed);
            break;
        case OP_SETVOLUME:
            if (!m_dialling && !m_ringing && !m_inCall) command(OP_END);
            break;
        case OP_QUERYSTATUS:
            switch (code) {
                case 0:
                    // A late answer after the call ended raises no call.
                    if (m_dialling || m_inCall) {
                        m_dialling = false;
                        callUp();
                    }
                    break;
                case 1:
                    setStatus(kStatusConference);
                    break;
                case 2:
                    setStatus(kStatusDialling);
                    break;
                case 4:
                    setStatus(kStatusNewCall);
                    break;
                case 5:
                    setStatus(kStatusWaiting);
                    break;
                default:
                    break;  // 3 and errors: the field stays blank
            }
            break;
        default:
            break;
    }
}

void PhoneDialogCore::tick() {
    char b[32];
    if (m_timing) {
        m_duration = static_cast<long>((m_clockSource.monotonicMs() - m_callStartMs) / 1000);
        std::snprintf(b, sizeof b, "%02ld:%02ld:%02ld", m_duration / 3600, m_duration / 60 % 60,
                      m_duration % 60);
    } else {
        const platform::LocalTime t = m_clockSource.localNow();
        std::snprintf(b, sizeof b, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    }
    m_clock = b;
    notify(Field::Clock);
    // The once-a-second poll that finds an outgoing call up.
    if (m_dialling) command(OP_QUERYSTATUS);
}

void PhoneDialogCore::onTimer(unsigned id) {
    if (id == TIMER_CLOCK) {
        tick();
    } else if (id == TIMER_RING) {
        m_ringFrame = m_ringFrame >= IDB_RING_LAST ? IDB_RING_FIRST : m_ringFrame + 1;
        notify(Field::Ring);
    }
}

}  // namespace msgdesk
