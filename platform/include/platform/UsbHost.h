// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ModemTable.h"

namespace platform::usb {

struct DeviceIds {
    uint16_t vendor = 0;
    uint16_t product = 0;
};

// A hub opened for queries: its port count, the name of a hub attached at a
// port (absent when the port holds no hub) and the identity of the device at
// a port (absent when the port is empty or the query fails).
class Hub {
public:
    virtual ~Hub() = default;
    virtual std::optional<int> portCount() = 0;
    virtual std::optional<std::string> attachedHubName(int port) = 0;
    virtual std::optional<DeviceIds> connectionInfo(int port) = 0;
};

// A host controller opened for queries.
class Controller {
public:
    virtual ~Controller() = default;
    virtual std::optional<std::string> rootHubName() = 0;
};

// The USB tree as the dialer walks it: controllers by number, hubs by name.
// Tests give fake trees; the program uses the sysfs one.
class UsbHost {
public:
    virtual ~UsbHost() = default;
    // nullptr when controller n does not exist.
    virtual std::unique_ptr<Controller> openController(int n) = 0;
    // nullptr when no hub of that name exists.
    virtual std::unique_ptr<Hub> openHub(const std::string& name) = 0;
    // The serial port of every device with these ids (its first tty
    // interface), one per device, e.g. "ttyUSB0".
    virtual std::vector<std::string> serialPorts(DeviceIds ids) = 0;
    // The port a data call is dialled on, one per modem: the Zunto modem's
    // first serial port, and for each modem of the table the port of the
    // interface it names for data (see ModemTable). By default the Zunto
    // modems' only.
    virtual std::vector<std::string> dataPorts(const ModemTable& table) {
        (void)table;
        return serialPorts({0x1A7C, 0x3D41});
    }
};

}  // namespace platform::usb
