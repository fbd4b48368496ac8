#include "support/SimProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

extern char** environ;

SimProcess::SimProcess(int devices, std::vector<std::string> extraArgs) {
    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, in[0], 0);
    posix_spawn_file_actions_adddup2(&fa, out[1], 1);
    std::string bin = std::string(ZUNTO_BIN_DIR) + "/zuntosim";
    std::vector<std::string> args = {bin, "--devices", std::to_string(devices)};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&m_pid, bin.c_str(), &fa, nullptr, argv.data(), environ) != 0) m_pid = -1;
    posix_spawn_file_actions_destroy(&fa);
    ::close(in[0]);
    ::close(out[1]);
    m_in = in[1];
    m_out = out[0];
    for (int i = 0; i < devices && m_pid > 0; ++i) {
        std::string line = readLine(5000);
        if (line.rfind("device ", 0) != 0) break;
        m_ports.push_back(line.substr(line.find(' ', 7) + 1));
    }
}

SimProcess::~SimProcess() {
    if (m_in >= 0) ::close(m_in);  // end of input makes it quit
    if (m_pid > 0) {
        for (int i = 0; i < 200; ++i) {
            if (::waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
                m_pid = -1;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    if (m_out >= 0) ::close(m_out);
}

std::string SimProcess::portList() const {
    std::string s;
    for (const auto& p : m_ports) s += (s.empty() ? "" : ",") + p;
    return s;
}

std::string SimProcess::readLine(int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        auto nl = m_buffer.find('\n');
        if (nl != std::string::npos) {
            std::string line = m_buffer.substr(0, nl);
            m_buffer.erase(0, nl + 1);
            return line;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
        if (left <= 0) return "TIMEOUT waiting for zuntosim";
        pollfd p{m_out, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
        char buf[512];
        ssize_t n = ::read(m_out, buf, sizeof buf);
        if (n <= 0) return "EOF from zuntosim";
        m_buffer.append(buf, static_cast<std::size_t>(n));
    }
}

std::string SimProcess::control(const std::string& line) {
    std::string l = line + "\n";
    if (::write(m_in, l.data(), l.size()) != static_cast<ssize_t>(l.size())) return "write failed";
    return readLine(5000);
}
