// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

extern char** environ;

namespace support {

// A child program with its standard input and output on pipes, read line by
// line with a time-out. Used to run the simulator (see Zuntosim.h,
// SimProcess.h) and the headless frame.
class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess() { stop(SIGTERM); }

    bool start(const std::vector<std::string>& args) {
        int out[2], in[2];
        // Close-on-exec, so no other child keeps this one's input open.
        if (pipe2(out, O_CLOEXEC) != 0 || pipe2(in, O_CLOEXEC) != 0) return false;
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_adddup2(&fa, out[1], 1);
        posix_spawn_file_actions_adddup2(&fa, in[0], 0);
        posix_spawn_file_actions_addclose(&fa, out[0]);
        posix_spawn_file_actions_addclose(&fa, in[1]);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        const int rc = posix_spawn(&m_pid, args[0].c_str(), &fa, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&fa);
        close(out[1]);
        close(in[0]);
        m_out = out[0];
        m_in = in[1];
        m_buf.clear();
        if (rc != 0) m_pid = -1;
        return rc == 0;
    }
    bool running() const { return m_pid > 0; }
    pid_t pid() const { return m_pid; }
    // End of input: a child that reads commands takes it as "quit".
    void closeInput() {
        if (m_in >= 0) close(m_in);
        m_in = -1;
    }
    void send(const std::string& line) {
        const std::string l = line + "\n";
        [[maybe_unused]] ssize_t w = write(m_in, l.data(), l.size());
    }
    // The next line, or false after the time-out or at the end of output.
    bool readLine(std::string& line, std::chrono::milliseconds timeout) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            const size_t nl = m_buf.find('\n');
            if (nl != std::string::npos) {
                line = m_buf.substr(0, nl);
                m_buf.erase(0, nl + 1);
                return true;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            if (left.count() <= 0 || m_out < 0) return false;
            pollfd p{m_out, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
            char c[4096];
            const ssize_t got = read(m_out, c, sizeof c);
            if (got <= 0) return false;
            m_buf.append(c, static_cast<size_t>(got));
        }
    }
    // Reads lines until one starts with prefix; returns it, or "" on time-out.
    std::string waitFor(const std::string& prefix, std::chrono::milliseconds timeout) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        std::string line;
        while (std::chrono::steady_clock::now() < end) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            if (!readLine(line, left)) break;
            if (line.rfind(prefix, 0) == 0) return line;
        }
        return {};
    }
    // Sends a command and returns the first answer line starting with prefix.
    std::string ask(const std::string& command, const std::string& prefix,
                    std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        send(command);
        return waitFor(prefix, timeout);
    }
    void stop(int sig) {
        if (m_pid > 0) {
            kill(m_pid, sig);
            waitpid(m_pid, nullptr, 0);
            m_pid = -1;
        }
        if (m_out >= 0) close(m_out);
        if (m_in >= 0) close(m_in);
        m_out = m_in = -1;
    }
    // Waits for the child to end by itself (after "quit").
    bool wait(std::chrono::milliseconds timeout) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < end) {
            int st = 0;
            if (waitpid(m_pid, &st, WNOHANG) == m_pid) {
                m_pid = -1;
                stop(0);
                return true;
            }
            usleep(20000);
        }
        return false;
    }

private:
    pid_t m_pid = -1;
    int m_out = -1;
    int m_in = -1;
    std::string m_buf;
};

}  // namespace support
