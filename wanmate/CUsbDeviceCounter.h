// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

#include "platform/ModemTable.h"
#include "platform/UsbHost.h"

namespace wanmate {

// Counts the plugged-in modems by walking the USB tree of every host
// controller, depth first through external hubs.
class CUsbDeviceCounter final {
public:
    static constexpr uint16_t kVendorId = 0x1A7C;
    static constexpr uint16_t kProductId = 0x3D41;
    static constexpr int kMaxControllers = 20;
    // A root hub name this long or longer ends the scan.
    static constexpr size_t kMaxHubName = 500;

    // The Zunto modem is counted as always; so are the modems of the table.
    explicit CUsbDeviceCounter(platform::usb::UsbHost& host, platform::usb::ModemTable table = {})
        : m_host(host), m_table(std::move(table)) {}

    void ScanDevices();
    int GetDeviceCount() const { return m_count; }
    const platform::usb::ModemTable& table() const { return m_table; }

private:
    void exploreHub(const std::string& name);

    platform::usb::UsbHost& m_host;
    platform::usb::ModemTable m_table;
    int m_count = 0;
};

}  // namespace wanmate
