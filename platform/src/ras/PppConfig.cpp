// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ras/PppConfig.h"

#include <unistd.h>

#include <cstdlib>

#include "platform/RunDir.h"

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
    else
        c.runDir = platform::userRunDir("wanmate");
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
    if (auto v = env("WANMATE_ETC_DIR")) c.etcDir = v;
    if (auto v = env("WANMATE_KEEP_LOGS")) c.keepLogs = std::string(v) == "1";
    c.privileged = ::geteuid() == 0;
    return c;
}

}  // namespace platform::ras
