// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <memory>
#include <string>

#include "platform/UeventSource.h"

struct udev;
struct udev_monitor;

namespace platform {

// A libudev netlink monitor filtered to a subsystem (and device type, when
// not empty). It listens to udev's events when udev runs here, otherwise to
// the kernel's own, so it works in containers without udevd too.
class LibudevSource final : public UeventSource {
public:
    // nullptr, with the reason in *error, when netlink is unavailable.
    static std::unique_ptr<LibudevSource> open(const std::string& subsystem,
                                               const std::string& devtype, std::string* error);
    ~LibudevSource() override;
    int fd() const override;
    std::optional<Uevent> receive() override;
    const char* origin() const { return m_origin; }

private:
    LibudevSource() = default;
    struct udev* m_udev = nullptr;
    struct udev_monitor* m_monitor = nullptr;
    const char* m_origin = "";
};

}  // namespace platform
