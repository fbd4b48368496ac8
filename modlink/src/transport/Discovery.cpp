// SPDX-License-Identifier: LGPL-2.1-or-later
#include "Discovery.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

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

}  // namespace

std::vector<FoundModem> findUsbModems(unsigned vendor, unsigned product) {
    fs::path sys = envOr("MODLINK_SYSFS_ROOT", "/sys");
    fs::path dev = envOr("MODLINK_DEV_DIR", "/dev");
    std::map<std::string, FoundModem> byDevice;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(sys / "class" / "tty", ec)) {
        fs::path devLink = entry.path() / "device";
        if (!fs::exists(devLink, ec)) continue;
        fs::path real = fs::canonical(devLink, ec);
        if (ec) continue;
        // The interface directory's parent chain leads to the USB device,
        // the first one that has idVendor.
        for (fs::path p = real; !p.empty() && p != p.root_path(); p = p.parent_path()) {
            if (fs::exists(p / "idVendor", ec)) {
                if (readHex(p / "idVendor") == vendor && readHex(p / "idProduct") == product) {
                    auto& m = byDevice[p.string()];
                    m.usbPath = p.string();
                    m.ports.push_back((dev / entry.path().filename()).string());
                }
                break;
            }
        }
    }
    std::vector<FoundModem> out;
    for (auto& [k, m] : byDevice) {
        std::sort(m.ports.begin(), m.ports.end(), naturalLess);
        out.push_back(std::move(m));
    }
    return out;
}

std::vector<std::string> configuredPorts() {
    std::vector<std::string> out;
    const char* env = std::getenv("MODLINK_PORTS");
    if (!env) return out;
    std::string s = env;
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

bool usbDiscoveryEnabled() {
    const char* v = std::getenv("MODLINK_USB");
    return !(v && std::string(v) == "0");
}

}  // namespace modlink
