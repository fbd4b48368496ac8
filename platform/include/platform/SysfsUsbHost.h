// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <filesystem>

#include "platform/UsbHost.h"

namespace platform::usb {

// The kernel's USB tree in <root>/bus/usb/devices: root hubs "usbN" stand for
// host controllers (in bus order), hubs are devices with a "maxchild" above
// 0, the device at port p of hub "B-x" is "B-x.p" (of root hub "usbB":
// "B-p"), and its identity comes from "idVendor"/"idProduct".
class SysfsUsbHost final : public UsbHost {
public:
    explicit SysfsUsbHost(std::filesystem::path sysRoot = defaultRoot());
    // WANMATE_SYSFS_ROOT, else "/sys".
    static std::filesystem::path defaultRoot();

    std::unique_ptr<Controller> openController(int n) override;
    std::unique_ptr<Hub> openHub(const std::string& name) override;
    std::vector<std::string> serialPorts(DeviceIds ids) override;
    std::vector<std::string> dataPorts(const ModemTable& table) override;

private:
    std::filesystem::path m_devices;
};

}  // namespace platform::usb
