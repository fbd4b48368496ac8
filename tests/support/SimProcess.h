#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

// Runs zuntosim as a child process: reads its "device D PATH" lines and
// talks to its control channel on standard input and output. Every wait is
// bounded; the destructor ends the child.
class SimProcess final {
public:
    explicit SimProcess(int devices, std::vector<std::string> extraArgs = {});
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool ok() const { return m_pid > 0 && !m_ports.empty(); }
    const std::vector<std::string>& ports() const { return m_ports; }
    std::string portList() const;
    // Sends one control command and returns its answer line.
    std::string control(const std::string& line);

private:
    std::string readLine(int timeoutMs);
    pid_t m_pid = -1;
    int m_in = -1;
    int m_out = -1;
    std::string m_buffer;
    std::vector<std::string> m_ports;
};
