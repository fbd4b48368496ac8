// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ras/PppConfig.h"

#include <unistd.h>

#include <cstdlib>

namespace platform::ras {

namespace {
const char* env(const char* name) {
    const char* v = std::getenv(name);
    return v && *v ? v : nullptr;
}
}  // namespace

PppConfig PppConfig::fromEnvironment() {
    PppConfig c;
    if (auto v = env("WANMATE_PPPD")) c.pppd = v;
    if (auto v = env("WANMATE_CHAT")) c.chat = v;
    if (auto v = env("WANMATE_RUN_DIR"))
        c.runDir = v;
    else if (auto x = env("XDG_RUNTIME_DIR"))
        c.runDir = std::filesystem::path(x) / "wanmate";
    else
        c.runDir = "/tmp/wanmate-" + std::to_string(::getuid());
    if (auto v = env("WANMATE_PPP_PIDDIR")) c.pidDir = v;
    if (auto v = env("WANMATE_SYSFS_ROOT")) c.sysRoot = v;
    if (auto v = env("WANMATE_RAS_PORTS")) {
        std::string s = v;
        size_t start = 0;
        while (start <= s.size()) {
            size_t comma = s.find(',', start);
            if (comma == std::string::npos) comma = s.size();
            if (comma > start) c.extraPorts.push_back(s.substr(start, comma - start));
            start = comma + 1;
        }
    }
    if (auto v = env("WANMATE_RESOLVCONF")) {
        c.resolvconf = std::string(v) == "none" ? "" : v;
    } else {
        for (const char* p : {"/sbin/resolvconf", "/usr/sbin/resolvconf"})
            if (::access(p, X_OK) == 0) c.resolvconf = p;
    }
    c.privileged = ::geteuid() == 0;
    return c;
}

}  // namespace platform::ras
