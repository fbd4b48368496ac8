// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace platform::ras {

// Where the pppd dial-up layer finds its programs and keeps its files.
struct PppConfig {
    std::string pppd = "/usr/sbin/pppd";  // WANMATE_PPPD
    std::string chat = "/usr/sbin/chat";  // WANMATE_CHAT
    // Chat scripts and session logs of the dials under way, and the
    // command socket: WANMATE_RUN_DIR, else the user's run directory
    // (/run/wanmate for root, $XDG_RUNTIME_DIR/wanmate, ...: RunDir.h).
    // Used only when it is safely ours.
    std::filesystem::path runDir;
    // Where pppd writes ppp-wanmate.pid: WANMATE_PPP_PIDDIR, else /run.
    std::filesystem::path pidDir = "/run";
    std::filesystem::path sysRoot = "/sys";  // WANMATE_SYSFS_ROOT
    // Serial ports of simulated modems: WANMATE_RAS_PORTS, comma-separated.
    std::vector<std::string> extraPorts;
    // Where resolv.conf and the copy the ip-up hook set aside live: a copy
    // left by a crash is put back at the next start (WANMATE_ETC_DIR).
    std::filesystem::path etcDir = "/etc";
    // As root pppd takes the whole command line; otherwise `pppd call
    // wanmate` with the peers file of the install step.
    bool privileged = true;
    int killAfterMs = 3000;
    // Keep session logs after the dial (WANMATE_KEEP_LOGS=1), for finding
    // out why a modem would not dial.
    bool keepLogs = false;
    int pollMs = 50;

    static PppConfig fromEnvironment();
};

}  // namespace platform::ras
