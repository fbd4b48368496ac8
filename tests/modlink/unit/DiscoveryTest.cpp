// SPDX-License-Identifier: LGPL-2.1-or-later
// USB discovery over a fake sysfs tree.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "transport/Discovery.h"

namespace fs = std::filesystem;

namespace {

// /sys/devices/.../usbN/<dev>/<dev>:1.I/ttyUSBk and /sys/class/tty/ttyUSBk/device.
void addPort(const fs::path& root, const std::string& dev, unsigned vid, unsigned pid, int iface,
             const std::string& tty) {
    fs::path usb = root / "devices/pci0000:00/usb1" / dev;
    fs::create_directories(usb);
    std::ofstream(usb / "idVendor") << std::hex << vid << "\n";
    std::ofstream(usb / "idProduct") << std::hex << pid << "\n";
    fs::path intf = usb / (dev + ":1." + std::to_string(iface)) / tty;
    fs::create_directories(intf);
    fs::create_directories(root / "class/tty" / tty);
    fs::create_directory_symlink(intf, root / "class/tty" / tty / "device");
}

}  // namespace

TEST(Discovery, FindsTheModemsPortsGroupedAndOrdered) {
    fs::path root = fs::temp_directory_path() / ("modlink-sysfs-" + std::to_string(::getpid()));
    fs::remove_all(root);
    addPort(root, "1-1", 0x1a7c, 0x3d41, 2, "ttyUSB10");
    addPort(root, "1-1", 0x1a7c, 0x3d41, 0, "ttyUSB2");
    addPort(root, "1-2", 0x12d1, 0x1001, 0, "ttyUSB0");  // another maker's modem
    addPort(root, "1-3", 0x1a7c, 0x3d41, 0, "ttyUSB5");
    fs::create_directories(root / "class/tty/ttyS0");  // no device link
    ::setenv("MODLINK_SYSFS_ROOT", root.c_str(), 1);
    ::setenv("MODLINK_DEV_DIR", "/devx", 1);
    auto found = modlink::findUsbModems();
    ::unsetenv("MODLINK_SYSFS_ROOT");
    ::unsetenv("MODLINK_DEV_DIR");
    fs::remove_all(root);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].ports, (std::vector<std::string>{"/devx/ttyUSB2", "/devx/ttyUSB10"}));
    EXPECT_EQ(found[1].ports, (std::vector<std::string>{"/devx/ttyUSB5"}));
}

TEST(Discovery, PortListFromTheEnvironment) {
    ::setenv("MODLINK_PORTS", " /dev/pts/3 ,tcp:127.0.0.1:7000,,", 1);
    EXPECT_EQ(modlink::configuredPorts(),
              (std::vector<std::string>{"/dev/pts/3", "tcp:127.0.0.1:7000"}));
    ::unsetenv("MODLINK_PORTS");
    EXPECT_TRUE(modlink::configuredPorts().empty());
}
