// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/SimProcess.h"

#include <signal.h>

#include <chrono>

#include "support/Zuntosim.h"

namespace support {

SimProcess::SimProcess(int devices, std::vector<std::string> extraArgs) {
    std::vector<std::string> args = {std::string(ZUNTO_BIN_DIR) + "/zuntosim", "--devices",
                                     std::to_string(devices)};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    m_ports = startZuntosim(m_proc, args, devices, std::chrono::seconds(5));
    if (static_cast<int>(m_ports.size()) != devices) m_ports.clear();
}

SimProcess::~SimProcess() {
    // End of input makes it quit; one that does not is killed.
    m_proc.closeInput();
    if (!m_proc.wait(std::chrono::seconds(2))) m_proc.stop(SIGKILL);
}

std::string SimProcess::portList() const {
    return joinPorts(m_ports);
}

std::string SimProcess::control(const std::string& line) {
    if (!m_proc.running()) return "zuntosim not running";
    m_proc.send(line);
    std::string answer;
    if (!m_proc.readLine(answer, std::chrono::seconds(5))) return "TIMEOUT or EOF from zuntosim";
    return answer;
}

}  // namespace support
