// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/HotplugMonitor.h"

#include <errno.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include "platform/DeviceChange.h"

namespace platform {

DeviceChangeEvents deviceChangeFor(const Uevent& e) {
    DeviceChangeEvents out;
    // Interfaces of a device come and go with it; count the device once.
    if (e.subsystem != "usb" || e.devtype != "usb_device") return out;
    if (e.action == "add")
        out.types[0] = DBT_DEVICEARRIVAL;
    else if (e.action == "remove")
        out.types[0] = DBT_DEVICEREMOVECOMPLETE;
    else
        return out;
    out.types[1] = DBT_DEVNODES_CHANGED;
    out.count = 2;
    return out;
}

HotplugMonitor::HotplugMonitor(std::unique_ptr<UeventSource> source, MessageLoop& loop,
                               MessageTarget* target)
    : m_source(std::move(source)), m_loop(loop), m_target(target) {}

HotplugMonitor::~HotplugMonitor() {
    stop();
}

bool HotplugMonitor::start() {
    if (m_thread.joinable() || !m_source || m_source->fd() < 0) return false;
    m_wake = eventfd(0, EFD_CLOEXEC);
    if (m_wake < 0) return false;
    m_thread = std::thread([this] { run(); });
    return true;
}

void HotplugMonitor::stop() {
    if (m_thread.joinable()) {
        uint64_t one = 1;
        ssize_t n = write(m_wake, &one, sizeof one);
        (void)n;
        m_thread.join();
    }
    if (m_wake >= 0) {
        close(m_wake);
        m_wake = -1;
    }
}

void HotplugMonitor::run() {
    pollfd fds[2] = {{m_source->fd(), POLLIN, 0}, {m_wake, POLLIN, 0}};
    for (;;) {
        int r = poll(fds, 2, -1);
        if (r < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[1].revents) return;
        if (fds[0].revents & (POLLERR | POLLNVAL)) return;
        if (!(fds[0].revents & POLLIN)) continue;
        auto e = m_source->receive();
        if (!e) continue;
        DeviceChangeEvents d = deviceChangeFor(*e);
        for (unsigned i = 0; i < d.count; ++i)
            m_loop.post(m_target, WM_DEVICECHANGE, d.types[i], 0);
    }
}

}  // namespace platform
