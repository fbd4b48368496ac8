// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/SimFullCheck.h"

#include <mutex>

#include "device/WindowMessages.h"

namespace msgdesk {

SimFullCheck::SimFullCheck(platform::MessageLoop& loop, platform::MessageTarget* timerTarget,
                           DeviceTable& devices, DeviceLinkPorts& ports)
    : m_loop(loop), m_timerTarget(timerTarget), m_devices(devices), m_ports(ports) {}

void SimFullCheck::check(bool linkActive) {
    int full = 0;
    {
        std::lock_guard g(m_devices.lock());
        const int n = m_devices.deviceCount();
        for (int d = 1; d <= n; ++d) {
            DeviceSlot s = m_devices.slot(d);
            if (s.messageCapacity > 0 && s.messageCapacity == s.messageCount) ++full;
        }
    }
    if (full > 0 && !m_blinking) {
        m_blinking = true;
        m_loop.setTimer(m_timerTarget, TIMER_SIM_FULL_BLINK, 500);
    }
    if ((full == 0 || !linkActive) && m_blinking) stop();
}

void SimFullCheck::blink() {
    m_ports.showSimFullBitmap(m_shown);
    m_shown = !m_shown;
}

void SimFullCheck::stop() {
    m_blinking = false;
    m_loop.killTimer(m_timerTarget, TIMER_SIM_FULL_BLINK);
    m_ports.showSimFullBitmap(false);
}

}  // namespace msgdesk
