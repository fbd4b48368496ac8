// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/SignalPoll.h"

#include "device/WindowMessages.h"

namespace msgdesk {

SignalPoll::SignalPoll(platform::MessageLoop& loop, platform::MessageTarget* timerTarget,
                       const DeviceLibrary& library, const DeviceTable& devices)
    : m_loop(loop), m_timerTarget(timerTarget), m_lib(library), m_devices(devices) {}

void SignalPoll::start() {
    m_cursor = 1;
    m_loop.setTimer(m_timerTarget, TIMER_SIGNAL_POLL, 6000);
}

void SignalPoll::stop() {
    m_loop.killTimer(m_timerTarget, TIMER_SIGNAL_POLL);
}

void SignalPoll::tick() {
    const int n = m_devices.deviceCount();
    if (m_lib.GetSignal) {
        // An unplugged device refuses for ever; step past it.
        for (int k = 0; k < n && m_devices.removed(m_cursor); ++k)
            m_cursor = m_cursor >= n ? 1 : m_cursor + 1;
        if (m_lib.GetSignal(m_cursor) != -1) ++m_cursor;
    }
    if (m_cursor > n) m_cursor = 1;
}

}  // namespace msgdesk
