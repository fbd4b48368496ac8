// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/LibudevSource.h"

#include <libudev.h>
#include <unistd.h>

namespace platform {

std::unique_ptr<LibudevSource> LibudevSource::open(const std::string& subsystem,
                                                   const std::string& devtype, std::string* error) {
    auto fail = [&](const char* why) -> std::unique_ptr<LibudevSource> {
        if (error) *error = why;
        return nullptr;
    };
    std::unique_ptr<LibudevSource> s(new LibudevSource);
    s->m_udev = udev_new();
    if (!s->m_udev) return fail("udev_new failed");
    // udev's own events come after its rules ran (device nodes exist); without
    // a running udevd only the kernel's events exist, and the sysfs tree we
    // count from is complete when they arrive.
    s->m_origin = access("/run/udev/control", F_OK) == 0 ? "udev" : "kernel";
    s->m_monitor = udev_monitor_new_from_netlink(s->m_udev, s->m_origin);
    if (!s->m_monitor) return fail("no netlink socket for device events");
    if (udev_monitor_filter_add_match_subsystem_devtype(
            s->m_monitor, subsystem.c_str(), devtype.empty() ? nullptr : devtype.c_str()) < 0)
        return fail("cannot filter device events");
    if (udev_monitor_enable_receiving(s->m_monitor) < 0)
        return fail("cannot bind the netlink socket for device events");
    return s;
}

LibudevSource::~LibudevSource() {
    if (m_monitor) udev_monitor_unref(m_monitor);
    if (m_udev) udev_unref(m_udev);
}

int LibudevSource::fd() const {
    return m_monitor ? udev_monitor_get_fd(m_monitor) : -1;
}

std::optional<Uevent> LibudevSource::receive() {
    udev_device* d = udev_monitor_receive_device(m_monitor);
    if (!d) return std::nullopt;
    auto str = [](const char* s) { return std::string(s ? s : ""); };
    Uevent e{str(udev_device_get_action(d)), str(udev_device_get_subsystem(d)),
             str(udev_device_get_devtype(d)), str(udev_device_get_devpath(d))};
    udev_device_unref(d);
    return e;
}

}  // namespace platform
