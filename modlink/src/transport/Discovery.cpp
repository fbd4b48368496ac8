// SPDX-License-Identifier: LGPL-2.1-or-later
#include "Discovery.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "platform/Registry.h"

namespace modlink {

namespace fs = std::filesystem;

namespace {

std::string envOr(const char* name, const char* fallback) {
    const char* v = std::getenv(name);
    return v && *v ? v : fallback;
}

unsigned readHex(const fs::path& p) {
    std::ifstream f(p);
    std::string s;
    f >> s;
    return s.empty() ? 0 : static_cast<unsigned>(std::strtoul(s.c_str(), nullptr, 16));
}

// ttyUSB10 after ttyUSB9: the number matters, not the text.
bool naturalLess(const std::string& a, const std::string& b) {
    auto split = [](const std::string& s) {
        auto i = s.find_last_not_of("0123456789");
        i = i == std::string::npos ? 0 : i + 1;
        return std::pair{s.substr(0, i), i < s.size() ? std::stol(s.substr(i)) : -1L};
    };
    return split(a) < split(b);
}

// The interface's number: bInterfaceNumber (hex), else the end of its
// directory name "<device>:<config>.<n>".
int interfaceOf(const fs::path& intf) {
    std::error_code ec;
    if (fs::exists(intf / "bInterfaceNumber", ec))
        return static_cast<int>(readHex(intf / "bInterfaceNumber"));
    std::string name = intf.filename().string();
    auto dot = name.rfind('.');
    if (name.find(':') == std::string::npos || dot == std::string::npos || dot + 1 == name.size())
        return -1;
    std::string n = name.substr(dot + 1);
    if (n.find_first_not_of("0123456789") != std::string::npos || n.size() > 3) return -1;
    return std::atoi(n.c_str());
}

std::string idText(unsigned vendor, unsigned product) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04x:%04x", vendor & 0xFFFF, product & 0xFFFF);
    return buf;
}

}  // namespace

std::vector<UsbSerialPort> listUsbSerialPorts() {
    fs::path sys = envOr("MODLINK_SYSFS_ROOT", "/sys");
    fs::path dev = envOr("MODLINK_DEV_DIR", "/dev");
    std::vector<std::pair<std::string, UsbSerialPort>> found;  // tty name, port
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(sys / "class" / "tty", ec)) {
        fs::path devLink = entry.path() / "device";
        if (!fs::exists(devLink, ec)) continue;
        fs::path real = fs::canonical(devLink, ec);
        if (ec) continue;
        // The interface directory's parent chain leads to the USB device,
        // the first one that has idVendor.
        fs::path intf;
        for (fs::path p = real; !p.empty() && p != p.root_path(); p = p.parent_path()) {
            if (fs::exists(p / "idVendor", ec)) {
                UsbSerialPort port;
                std::string tty = entry.path().filename().string();
                port.path = (dev / tty).string();
                port.usbPath = p.string();
                port.vendor = readHex(p / "idVendor");
                port.product = readHex(p / "idProduct");
                port.interface = intf.empty() ? -1 : interfaceOf(intf);
                port.acm = tty.rfind("ttyACM", 0) == 0;
                found.emplace_back(tty, std::move(port));
                break;
            }
            intf = p;
        }
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        if (a.second.usbPath != b.second.usbPath) return a.second.usbPath < b.second.usbPath;
        return naturalLess(a.first, b.first);
    });
    std::vector<UsbSerialPort> out;
    for (auto& f : found) out.push_back(std::move(f.second));
    return out;
}

std::vector<FoundModem> findUsbModems(unsigned vendor, unsigned product) {
    std::vector<FoundModem> out;
    for (const auto& p : listUsbSerialPorts()) {
        if (p.vendor != vendor || p.product != product) continue;
        if (out.empty() || out.back().usbPath != p.usbPath) out.push_back({p.usbPath, {}});
        out.back().ports.push_back(p.path);
    }
    return out;
}

PortPlan planPorts(const std::vector<UsbSerialPort>& ports, const platform::usb::ModemTable& table,
                   const std::vector<std::string>& skipUsbPaths) {
    PortPlan plan;
    std::map<std::string, std::vector<const UsbSerialPort*>> byDevice;
    std::vector<std::string> order;
    for (const auto& p : ports) {
        if (!byDevice.count(p.usbPath)) order.push_back(p.usbPath);
        byDevice[p.usbPath].push_back(&p);
    }
    for (const auto& usbPath : order) {
        const auto& devPorts = byDevice[usbPath];
        unsigned vid = devPorts.front()->vendor, pid = devPorts.front()->product;
        if (std::find(skipUsbPaths.begin(), skipUsbPaths.end(), usbPath) != skipUsbPaths.end())
            continue;
        const auto* known = table.find(static_cast<uint16_t>(vid), static_cast<uint16_t>(pid));
        if (!known) {
            for (const auto* p : devPorts)
                plan.unused.push_back(
                    {p->path, vid, pid,
                     p->acm ? "CDC-ACM device of a maker not in the modem table: name it to use it"
                            : "USB serial port not in the modem table: name it to use it"});
            continue;
        }
        TableModem m{usbPath, vid, pid, known->name, {}};
        if (known->atInterfaces.empty()) {
            for (const auto* p : devPorts) m.candidates.push_back(p->path);
        } else {
            for (int want : known->atInterfaces)
                for (const auto* p : devPorts)
                    if (p->interface == want) m.candidates.push_back(p->path);
            for (const auto* p : devPorts)
                if (std::find(m.candidates.begin(), m.candidates.end(), p->path) ==
                    m.candidates.end())
                    plan.unused.push_back({p->path, vid, pid,
                                           "interface " + std::to_string(p->interface) + " of " +
                                               known->name + " carries no AT commands"});
        }
        if (m.candidates.empty()) {
            plan.unused.push_back({usbPath, vid, pid,
                                   known->name + " (" + idText(vid, pid) +
                                       "): none of its AT interfaces has a serial port"});
            continue;
        }
        plan.modems.push_back(std::move(m));
    }
    return plan;
}

std::vector<std::string> splitPortList(const std::string& s) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= s.size()) {
        auto comma = s.find(',', start);
        std::string item =
            s.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        auto b = item.find_first_not_of(" \t");
        auto e = item.find_last_not_of(" \t");
        if (b != std::string::npos) out.push_back(item.substr(b, e - b + 1));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return out;
}

std::vector<std::string> configuredPorts() {
    if (const char* env = std::getenv("MODLINK_PORTS")) return splitPortList(env);
    // A store of its own: the library may be loaded into a program that
    // has the user's hive open too.
    platform::RegistryStore store(
        platform::RegistryStore::defaultPath(platform::Hive::CurrentUser));
    auto stored = store.getString(kPortsKey, kPortsValue);
    return stored ? splitPortList(*stored) : std::vector<std::string>{};
}

std::string realPortPath(const std::string& port) {
    if (port.rfind("tcp:", 0) == 0) return port;
    std::error_code ec;
    auto real = fs::canonical(port, ec);
    return ec ? port : real.string();
}

bool usbDiscoveryEnabled() {
    const char* v = std::getenv("MODLINK_USB");
    return !(v && std::string(v) == "0");
}

}  // namespace modlink
