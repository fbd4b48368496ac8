// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>
#include <vector>

#include "support/ChildProcess.h"

namespace support {

// zuntosim from the build's bin folder as a child process: its ports and
// its control channel on standard input and output. Every wait is bounded;
// the destructor ends the child (end of input, then a kill).
class SimProcess final {
public:
    explicit SimProcess(int devices, std::vector<std::string> extraArgs = {});
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool ok() const { return m_proc.running() && !m_ports.empty(); }
    const std::vector<std::string>& ports() const { return m_ports; }
    std::string portList() const;
    // Sends one control command and returns its answer line.
    std::string control(const std::string& line);

private:
    ChildProcess m_proc;
    std::vector<std::string> m_ports;
};

}  // namespace support
