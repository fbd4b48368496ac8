// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Starting the simulated modem as a child process, the way every test and
// benchmark that needs real pseudo-terminals does.
#include <chrono>
#include <sstream>
#include <string>
#include <vector>

#include "support/ChildProcess.h"

namespace support {

// Starts zuntosim (args[0] is its path, the rest its options; "--devices"
// must be among them) and reads the "device D PATH" line of each of the
// `devices` modems. Returns their ports in device order; fewer than
// `devices` when the program did not start or announced fewer.
inline std::vector<std::string> startZuntosim(
    ChildProcess& sim, const std::vector<std::string>& args, int devices,
    std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    std::vector<std::string> ports;
    if (!sim.start(args)) return ports;
    for (int d = 0; d < devices; ++d) {
        std::istringstream line(sim.waitFor("device ", timeout));
        std::string word, path;
        int n = 0;
        if (!(line >> word >> n >> path)) break;
        ports.push_back(path);
    }
    return ports;
}

// The ports as MODLINK_PORTS takes them: "a,b,c".
inline std::string joinPorts(const std::vector<std::string>& ports) {
    std::string s;
    for (const auto& p : ports) s += (s.empty() ? "" : ",") + p;
    return s;
}

}  // namespace support
