// SPDX-License-Identifier: GPL-3.0-or-later
// What ModemManager lists, through its command-line client: for the guest
// checks, which run beside a real ModemManager.
#pragma once
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

namespace guest {

inline std::string managerModems() {
    std::string out;
    if (FILE* p = ::popen("mmcli -L 2>&1", "r")) {
        char buf[256];
        while (std::fgets(buf, sizeof buf, p)) out += buf;
        ::pclose(p);
    }
    return out;
}

inline bool managerListsModem() {
    return managerModems().find("/Modem/") != std::string::npos;
}

// Waits up to `seconds` until ModemManager lists a modem (want) or none.
inline bool managerListsModemWithin(int seconds, bool want) {
    for (int i = 0; i < seconds * 4; ++i) {
        if (managerListsModem() == want) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    return managerListsModem() == want;
}

}  // namespace guest
