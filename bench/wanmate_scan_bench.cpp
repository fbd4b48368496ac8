// SPDX-License-Identifier: GPL-3.0-or-later
// The modem count runs on the window thread at every device change, so its
// cost is a pause of the window. Prints the time of one scan of a sysfs
// tree the size of a well-filled desktop (4 controllers, 2 external hubs
// each, 60 devices, 4 of them modems) and of this machine's own tree.
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "CUsbDeviceCounter.h"
#include "platform/SysfsUsbHost.h"

namespace fs = std::filesystem;

namespace {

void put(const fs::path& dir, const char* attr, const std::string& v) {
    fs::create_directories(dir);
    std::ofstream(dir / attr) << v << "\n";
}

void device(const fs::path& devs, const std::string& name, const char* vid, const char* pid,
            int ports) {
    put(devs / name, "idVendor", vid);
    put(devs / name, "idProduct", pid);
    put(devs / name, "maxchild", std::to_string(ports));
}

double scanMicros(platform::usb::UsbHost& host, int rounds, int* count) {
    wanmate::CUsbDeviceCounter counter(host);
    auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) counter.ScanDevices();
    auto t1 = std::chrono::steady_clock::now();
    *count = counter.GetDeviceCount();
    return std::chrono::duration<double, std::micro>(t1 - t0).count() / rounds;
}

}  // namespace

int main() {
    char tmpl[] = "/tmp/wanmate-bench-XXXXXX";
    fs::path root = mkdtemp(tmpl);
    fs::path devs = root / "bus" / "usb" / "devices";
    int modems = 0;
    for (int bus = 1; bus <= 4; ++bus) {
        std::string b = std::to_string(bus);
        device(devs, "usb" + b, "1d6b", "0002", 8);
        for (int hub = 1; hub <= 2; ++hub) {
            std::string h = b + "-" + std::to_string(hub);
            device(devs, h, "05e3", "0610", 7);
            for (int p = 1; p <= 7; ++p) {
                bool modem = p == 1 && hub == 1;
                modems += modem;
                device(devs, h + "." + std::to_string(p), modem ? "1a7c" : "046d",
                       modem ? "3d41" : "c52b", 0);
            }
        }
        for (int p = 3; p <= 8; ++p) device(devs, b + "-" + std::to_string(p), "0781", "5581", 0);
    }
    platform::usb::SysfsUsbHost fake(root);
    int count = 0;
    double us = scanMicros(fake, 200, &count);
    const bool right = count == modems;
    std::printf("scan, 4 controllers, 8 hubs, 84 devices: %.1f us (counted %d of %d modems)\n", us,
                count, modems);
    platform::usb::SysfsUsbHost here("/sys");
    us = scanMicros(here, 200, &count);
    std::printf("scan, this machine's /sys: %.1f us (counted %d)\n", us, count);
    fs::remove_all(root);
    return right ? 0 : 1;
}
