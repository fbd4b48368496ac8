// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <string>
#include <vector>

namespace modlink {

// The modem's USB identity: its AT interface is one of the serial ports of
// this device.
constexpr unsigned kZuntoVendor = 0x1A7C;
constexpr unsigned kZuntoProduct = 0x3D41;

// One found modem: the serial ports of its interfaces, in interface order.
struct FoundModem {
    std::string usbPath;
    std::vector<std::string> ports;
};

// Walks /sys/class/tty for serial ports whose USB device has the given ids.
// MODLINK_SYSFS_ROOT and MODLINK_DEV_DIR replace /sys and /dev (tests).
std::vector<FoundModem> findUsbModems(unsigned vendor = kZuntoVendor,
                                      unsigned product = kZuntoProduct);

// The entries of MODLINK_PORTS, comma-separated, blanks trimmed.
std::vector<std::string> configuredPorts();

// USB discovery is skipped when MODLINK_USB is "0" (tests, --port).
bool usbDiscoveryEnabled();

}  // namespace modlink
