// SPDX-License-Identifier: LGPL-2.1-or-later
// USB serial ports in a fake sysfs tree, for the discovery tests of the
// library and its integration tests.
#pragma once
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace test {

// Under SYS (what MODLINK_SYSFS_ROOT names): devices/.../usb1/DEV with its
// ids, its interface IFACE holding TTY (a CDC-ACM port in the interface's
// tty/ folder, as the kernel puts it) and class/tty/TTY/device. With DEVDIR,
// DEVDIR/TTY is a link to TARGET, the port that stands for it.
inline void addUsbPort(const std::filesystem::path& sys, const std::string& dev, unsigned vid,
                       unsigned pid, int iface, const std::string& tty,
                       const std::filesystem::path& devDir = {}, const std::string& target = {}) {
    namespace fs = std::filesystem;
    fs::path usb = sys / "devices/pci0000:00/usb1" / dev;
    fs::create_directories(usb);
    std::ofstream(usb / "idVendor") << std::hex << vid << "\n";
    std::ofstream(usb / "idProduct") << std::hex << pid << "\n";
    fs::path intf = usb / (dev + ":1." + std::to_string(iface));
    fs::path port = tty.rfind("ttyACM", 0) == 0 ? intf / "tty" / tty : intf / tty;
    fs::create_directories(port);
    std::ofstream(intf / "bInterfaceNumber") << std::hex << iface << "\n";
    fs::create_directories(sys / "class/tty" / tty);
    fs::create_directory_symlink(port, sys / "class/tty" / tty / "device");
    if (devDir.empty()) return;
    fs::create_directories(devDir);
    fs::create_symlink(target, devDir / tty);
}

// A pseudo-terminal whose other end the test keeps: whatever is written to
// the port shows up here.
class WatchedPort {
public:
    WatchedPort() {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_master >= 0 && ::grantpt(m_master) == 0 && ::unlockpt(m_master) == 0)
            m_path = ::ptsname(m_master);
    }
    ~WatchedPort() {
        if (m_master >= 0) ::close(m_master);
    }
    WatchedPort(const WatchedPort&) = delete;
    WatchedPort& operator=(const WatchedPort&) = delete;
    const std::string& path() const { return m_path; }
    std::string received() {
        std::string all;
        char buf[256];
        ssize_t n;
        while ((n = ::read(m_master, buf, sizeof buf)) > 0) all.append(buf, static_cast<size_t>(n));
        return all;
    }

private:
    int m_master = -1;
    std::string m_path;
};

}  // namespace test
