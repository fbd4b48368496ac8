// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "device/DeviceLibrary.h"
#include "device/DeviceTable.h"
#include "platform/MessageLoop.h"

namespace msgdesk {

// The signal poll (timer 101, every 6 s while linked): asks one device's
// signal per tick, stepping round the attached devices. Window thread only.
class SignalPoll final {
public:
    SignalPoll(platform::MessageLoop& loop, platform::MessageTarget* timerTarget,
               const DeviceLibrary& library, const DeviceTable& devices);

    void start();
    void stop();
    void tick();
    // The device asked next (1-based).
    int cursor() const { return m_cursor; }

private:
    platform::MessageLoop& m_loop;
    platform::MessageTarget* m_timerTarget;
    const DeviceLibrary& m_lib;
    const DeviceTable& m_devices;
    int m_cursor = 1;
};

}  // namespace msgdesk
