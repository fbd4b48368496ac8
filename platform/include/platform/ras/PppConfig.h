// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <filesystem>
#include <string>
#include <vector>

namespace platform::ras {

// Where the pppd dial-up layer finds its programs and keeps its files.
struct PppConfig {
    std::string pppd = "/usr/sbin/pppd";  // WANMATE_PPPD
    std::string chat = "/usr/sbin/chat";  // WANMATE_CHAT
    // Chat scripts, session logs and the name server file without
    // resolvconf: WANMATE_RUN_DIR, else $XDG_RUNTIME_DIR/wanmate, else
    // /tmp/wanmate-<uid>.
    std::filesystem::path runDir;
    // Where pppd writes ppp-wanmate.pid: WANMATE_PPP_PIDDIR, else /run.
    std::filesystem::path pidDir = "/run";
    std::filesystem::path sysRoot = "/sys";  // WANMATE_SYSFS_ROOT
    // Serial ports of simulated modems: WANMATE_RAS_PORTS, comma-separated.
    std::vector<std::string> extraPorts;
    // resolvconf to hand a given name server to; empty = write
    // <runDir>/resolv.conf instead. WANMATE_RESOLVCONF ("none" for none),
    // else /sbin/resolvconf when present.
    std::string resolvconf;
    // As root pppd takes the whole command line; otherwise `pppd call
    // wanmate` with the peers file of the install step.
    bool privileged = true;
    int killAfterMs = 3000;
    int pollMs = 50;

    static PppConfig fromEnvironment();
};

}  // namespace platform::ras
