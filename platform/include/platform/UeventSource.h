// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <optional>
#include <string>

namespace platform {

// One kernel or udev event as the monitor sees it.
struct Uevent {
    std::string action;  // "add", "remove", "bind", "change", ...
    std::string subsystem;
    std::string devtype;
    std::string devpath;
};

// Where device events come from: a descriptor that becomes readable when an
// event is waiting, and the event itself. Tests give a pipe-backed fake.
class UeventSource {
public:
    virtual ~UeventSource() = default;
    virtual int fd() const = 0;
    // The waiting event; nullopt when none could be read.
    virtual std::optional<Uevent> receive() = 0;
};

// The translation the monitor applies: the event types to post for one
// event, none for events that are not a USB device coming or going.
struct DeviceChangeEvents {
    unsigned count = 0;
    unsigned types[2] = {0, 0};
};
DeviceChangeEvents deviceChangeFor(const Uevent& e);

}  // namespace platform
