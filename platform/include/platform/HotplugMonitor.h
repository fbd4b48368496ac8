// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <memory>
#include <thread>

#include "platform/MessageLoop.h"
#include "platform/UeventSource.h"

namespace platform {

// Watches a source on a thread of its own and posts, for every USB device
// added or removed, WM_DEVICECHANGE with DBT_DEVICEARRIVAL or
// DBT_DEVICEREMOVECOMPLETE to the target, each followed by one with
// DBT_DEVNODES_CHANGED, which the dialer's device-change rules rely on to
// see a second modem. The thread only posts; handlers run on the window
// thread.
class HotplugMonitor final {
public:
    HotplugMonitor(std::unique_ptr<UeventSource> source, MessageLoop& loop, MessageTarget* target);
    ~HotplugMonitor();
    HotplugMonitor(const HotplugMonitor&) = delete;
    HotplugMonitor& operator=(const HotplugMonitor&) = delete;

    bool start();
    // Ends the thread and waits for it; safe to call twice.
    void stop();

private:
    void run();

    std::unique_ptr<UeventSource> m_source;
    MessageLoop& m_loop;
    MessageTarget* m_target;
    int m_wake = -1;
    std::thread m_thread;
};

}  // namespace platform
