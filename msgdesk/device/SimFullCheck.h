// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "device/DeviceLinkPorts.h"
#include "device/DeviceTable.h"
#include "platform/MessageLoop.h"

namespace msgdesk {

// The SIM-full mark: while some device's message store is full (its count
// reaches its known capacity) the bitmap over the capacity pane blinks on
// timer 104 every 500 ms. Checked with each signal poll. Window thread only.
class SimFullCheck final {
public:
    SimFullCheck(platform::MessageLoop& loop, platform::MessageTarget* timerTarget,
                 DeviceTable& devices, DeviceLinkPorts& ports);

    // Starts or stops the blinking; with no link it stops.
    void check(bool linkActive);
    // The blink timer: shows and hides the bitmap in turn.
    void blink();
    void stop();
    bool blinking() const { return m_blinking; }

private:
    platform::MessageLoop& m_loop;
    platform::MessageTarget* m_timerTarget;
    DeviceTable& m_devices;
    DeviceLinkPorts& m_ports;
    bool m_blinking = false;
    bool m_shown = true;  // what the next blink shows
};

}  // namespace msgdesk
