// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SysfsUsbHost.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace platform::usb {

namespace fs = std::filesystem;

namespace {

std::optional<unsigned long> readNumber(const fs::path& file, int base) {
    std::ifstream in(file);
    std::string s;
    if (!(in >> s) || s.empty()) return std::nullopt;
    char* end = nullptr;
    unsigned long v = std::strtoul(s.c_str(), &end, base);
    if (*end != '\0') return std::nullopt;
    return v;
}

// "usb3" -> 3; anything else -> nullopt.
std::optional<unsigned long> rootHubBus(const std::string& name) {
    if (name.size() < 4 || name.compare(0, 3, "usb") != 0) return std::nullopt;
    if (name.find_first_not_of("0123456789", 3) != std::string::npos) return std::nullopt;
    return std::strtoul(name.c_str() + 3, nullptr, 10);
}

std::string childName(const std::string& hub, int port) {
    if (auto bus = rootHubBus(hub)) return std::to_string(*bus) + "-" + std::to_string(port);
    return hub + "." + std::to_string(port);
}

// ttyUSB10 after ttyUSB9.
bool naturalLess(const std::string& a, const std::string& b) {
    auto split = [](const std::string& s) {
        auto i = s.find_last_not_of("0123456789");
        i = i == std::string::npos ? 0 : i + 1;
        return std::pair{s.substr(0, i), i < s.size() ? std::stol(s.substr(i)) : -1L};
    };
    return split(a) < split(b);
}

// Names in a directory; empty when it cannot be read. Entries vanish while
// devices are unplugged, so errors end the listing instead of throwing.
std::vector<std::string> listDir(const fs::path& dir) {
    std::vector<std::string> out;
    std::error_code ec;
    fs::directory_iterator it(dir, ec), end;
    while (!ec && it != end) {
        out.push_back(it->path().filename().string());
        it.increment(ec);
    }
    std::sort(out.begin(), out.end());
    return out;
}

class SysfsHub final : public Hub {
public:
    SysfsHub(fs::path devices, std::string name)
        : m_devices(std::move(devices)), m_name(std::move(name)) {}
    std::optional<int> portCount() override {
        auto n = readNumber(m_devices / m_name / "maxchild", 10);
        if (!n || *n > 255) return std::nullopt;
        return static_cast<int>(*n);
    }
    std::optional<std::string> attachedHubName(int port) override {
        std::string child = childName(m_name, port);
        auto n = readNumber(m_devices / child / "maxchild", 10);
        if (!n || *n == 0) return std::nullopt;
        return child;
    }
    std::optional<DeviceIds> connectionInfo(int port) override {
        fs::path dir = m_devices / childName(m_name, port);
        auto v = readNumber(dir / "idVendor", 16);
        auto p = readNumber(dir / "idProduct", 16);
        if (!v || !p || *v > 0xFFFF || *p > 0xFFFF) return std::nullopt;
        return DeviceIds{static_cast<uint16_t>(*v), static_cast<uint16_t>(*p)};
    }

private:
    fs::path m_devices;
    std::string m_name;
};

class SysfsController final : public Controller {
public:
    explicit SysfsController(std::string rootHub) : m_rootHub(std::move(rootHub)) {}
    std::optional<std::string> rootHubName() override { return m_rootHub; }

private:
    std::string m_rootHub;
};

}  // namespace

SysfsUsbHost::SysfsUsbHost(fs::path sysRoot) : m_devices(sysRoot / "bus" / "usb" / "devices") {}

fs::path SysfsUsbHost::defaultRoot() {
    const char* env = std::getenv("WANMATE_SYSFS_ROOT");
    return env && *env ? fs::path(env) : fs::path("/sys");
}

std::unique_ptr<Controller> SysfsUsbHost::openController(int n) {
    if (n < 0) return nullptr;
    // Controllers are numbered densely in bus order, so a gap in the bus
    // numbers does not end the walk early.
    std::vector<std::pair<unsigned long, std::string>> roots;
    for (const auto& name : listDir(m_devices))
        if (auto bus = rootHubBus(name)) roots.emplace_back(*bus, name);
    std::sort(roots.begin(), roots.end());
    if (static_cast<size_t>(n) >= roots.size()) return nullptr;
    return std::make_unique<SysfsController>(roots[static_cast<size_t>(n)].second);
}

std::unique_ptr<Hub> SysfsUsbHost::openHub(const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..")
        return nullptr;
    std::error_code ec;
    if (!fs::is_directory(m_devices / name, ec)) return nullptr;
    return std::make_unique<SysfsHub>(m_devices, name);
}

namespace {

// The serial ports of a USB device by interface number ("<dev>:<c>.<n>",
// or its bInterfaceNumber), in interface order; usb-serial ports lie in the
// interface folder, CDC-ACM ones in its tty/ folder.
std::vector<std::pair<int, std::string>> interfacePorts(const fs::path& dev,
                                                        const std::string& name) {
    std::vector<std::pair<int, std::string>> out;
    std::string prefix = name + ":";
    for (const auto& intf : listDir(dev)) {
        if (intf.rfind(prefix, 0) != 0) continue;
        int number = -1;
        if (auto n = readNumber(dev / intf / "bInterfaceNumber", 16)) {
            number = static_cast<int>(*n);
        } else if (auto dot = intf.rfind('.'); dot != std::string::npos) {
            char* end = nullptr;
            unsigned long v = std::strtoul(intf.c_str() + dot + 1, &end, 10);
            if (*end == '\0' && dot + 1 < intf.size() && v < 256) number = static_cast<int>(v);
        }
        std::vector<std::string> ttys;
        for (const auto& n : listDir(dev / intf))
            if (n.rfind("tty", 0) == 0 && n != "tty") ttys.push_back(n);
        for (const auto& n : listDir(dev / intf / "tty")) ttys.push_back(n);
        for (auto& t : ttys) out.emplace_back(number, std::move(t));
    }
    std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : naturalLess(a.second, b.second);
    });
    return out;
}

}  // namespace

std::vector<std::string> SysfsUsbHost::dataPorts(const ModemTable& table) {
    std::vector<std::string> out;
    for (const auto& name : listDir(m_devices)) {
        fs::path dev = m_devices / name;
        auto v = readNumber(dev / "idVendor", 16);
        auto p = readNumber(dev / "idProduct", 16);
        if (!v || !p || *v > 0xFFFF || *p > 0xFFFF) continue;
        if (*v == 0x1A7C && *p == 0x3D41) {
            // As it always was: the modem's first serial port by name.
            std::vector<std::string> ttys;
            for (auto& port : interfacePorts(dev, name)) ttys.push_back(std::move(port.second));
            std::sort(ttys.begin(), ttys.end(), naturalLess);
            if (!ttys.empty()) out.push_back(ttys.front());
            continue;
        }
        const auto* known = table.find(static_cast<uint16_t>(*v), static_cast<uint16_t>(*p));
        if (!known) continue;
        auto ports = interfacePorts(dev, name);
        if (ports.empty()) continue;
        std::optional<int> want = known->dataInterface;
        if (!want && !known->atInterfaces.empty()) want = known->atInterfaces.front();
        if (!want) {
            out.push_back(ports.front().second);
            continue;
        }
        for (const auto& [number, tty] : ports) {
            if (number != *want) continue;
            out.push_back(tty);
            break;
        }
    }
    return out;
}

std::vector<std::string> SysfsUsbHost::serialPorts(DeviceIds ids) {
    std::vector<std::string> out;
    for (const auto& name : listDir(m_devices)) {
        fs::path dev = m_devices / name;
        auto v = readNumber(dev / "idVendor", 16);
        auto p = readNumber(dev / "idProduct", 16);
        if (!v || !p || *v != ids.vendor || *p != ids.product) continue;
        // Interfaces are "<device>:<config>.<n>"; a serial one holds "ttyUSBn"
        // (usb-serial) or "tty/ttyACMn" (CDC ACM).
        std::vector<std::string> ttys;
        std::string prefix = name + ":";
        for (const auto& intf : listDir(dev)) {
            if (intf.rfind(prefix, 0) != 0) continue;
            for (const auto& n : listDir(dev / intf))
                if (n.rfind("tty", 0) == 0 && n != "tty") ttys.push_back(n);
            for (const auto& n : listDir(dev / intf / "tty")) ttys.push_back(n);
        }
        if (ttys.empty()) continue;
        std::sort(ttys.begin(), ttys.end(), naturalLess);
        out.push_back(ttys.front());
    }
    return out;
}

}  // namespace platform::usb
