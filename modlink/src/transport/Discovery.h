// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <string>
#include <vector>

#include "platform/ModemTable.h"

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

// One serial port of a USB device, as sysfs shows it.
struct UsbSerialPort {
    std::string path;     // in MODLINK_DEV_DIR (/dev): "/dev/ttyUSB2"
    std::string usbPath;  // the USB device's directory under /sys/devices
    unsigned vendor = 0;
    unsigned product = 0;
    int interface = -1;  // bInterfaceNumber, -1 when unknown
    bool acm = false;    // a CDC-ACM port (ttyACM)
};

// Every serial port of a USB device, grouped by device (sorted by its sysfs
// path) and in port order within it (ttyUSB10 after ttyUSB9).
// MODLINK_SYSFS_ROOT and MODLINK_DEV_DIR replace /sys and /dev (tests).
std::vector<UsbSerialPort> listUsbSerialPorts();

// Walks /sys/class/tty for serial ports whose USB device has the given ids.
std::vector<FoundModem> findUsbModems(unsigned vendor = kZuntoVendor,
                                      unsigned product = kZuntoProduct);

// A modem of the table: its AT candidates in the table's order.
struct TableModem {
    std::string usbPath;
    unsigned vendor = 0;
    unsigned product = 0;
    std::string name;
    std::vector<std::string> candidates;
};

// How an attached port was found: "table" (a known USB modem) or "named"
// (MODLINK_PORTS or the settings store); the USB ids when it is a USB port.
struct PortOrigin {
    std::string how;
    unsigned vendor = 0;
    unsigned product = 0;
    std::string usbPath;
    std::string name;  // the table's maker and model
};

// A serial port that is not used, and why.
struct UnusedPort {
    std::string path;
    unsigned vendor = 0;
    unsigned product = 0;
    std::string why;
};

// Sorts the USB serial ports into the modems of the table (devices whose
// ids it names; skip lists devices already attached another way) and the
// ports nothing writes to: USB serial adapters and CDC-ACM devices of
// unknown makers, and a table modem's ports that are not AT candidates.
struct PortPlan {
    std::vector<TableModem> modems;
    std::vector<UnusedPort> unused;
};
PortPlan planPorts(const std::vector<UsbSerialPort>& ports, const platform::usb::ModemTable& table,
                   const std::vector<std::string>& skipUsbPaths);

// The ports the user named: MODLINK_PORTS (comma-separated, blanks trimmed)
// when it is set, else the same list in the settings store (kPortsKey,
// value kPortsValue, in the user's registry file).
std::vector<std::string> configuredPorts();
constexpr const char* kPortsKey = "Software\\Kelvo\\modlink";
constexpr const char* kPortsValue = "Ports";
std::vector<std::string> splitPortList(const std::string& list);

// The path a port name leads to (symbolic links resolved), for telling
// that a found port and a named one are the same; the name itself when it
// does not exist, and tcp: names unchanged.
std::string realPortPath(const std::string& port);

// USB discovery is skipped when MODLINK_USB is "0" (tests, --port).
bool usbDiscoveryEnabled();

}  // namespace modlink
