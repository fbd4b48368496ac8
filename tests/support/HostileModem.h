// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// A scripted modem served from a thread of the test, on a pseudo-terminal
// or a loopback TCP port: it answers the library's set-up and information
// commands like a plain modem, lets a test replace any answer (junk lines,
// silence, streams) and write unsolicited bytes at any time. For the
// behaviour of broken or hostile modems that the simulator does not model.
class HostileModem final {
public:
    enum class Kind { Pty, Tcp };
    // Returns the raw bytes to send for a command, or nullopt for the
    // ordinary answer. Runs on the modem's thread.
    using Script = std::function<std::optional<std::string>(const std::string& command)>;

    explicit HostileModem(Kind kind, Script script = {});
    ~HostileModem();
    HostileModem(const HostileModem&) = delete;
    HostileModem& operator=(const HostileModem&) = delete;

    // What MODLINK_PORTS takes: the pty's path or tcp:127.0.0.1:PORT.
    const std::string& port() const { return m_port; }
    bool ok() const { return !m_port.empty(); }
    // Writes bytes to the library (blocking, bounded).
    void send(const std::string& bytes);
    // The commands received so far, without their CR.
    std::vector<std::string> commands() const;
    // Waits (bounded) until a command starting with prefix has come.
    bool waitCommand(const std::string& prefix, int timeoutMs = 5000) const;
    // For TCP: true once the library has closed its end.
    bool peerClosed() const;

    // The answers of a plain modem in PDU mode with the UCS2 character set.
    static std::string ordinaryAnswer(const std::string& command);

private:
    void serve();
    int connection() const;

    Kind m_kind;
    Script m_script;
    std::string m_port;
    int m_master = -1;  // pty master or listening socket
    int m_slave = -1;   // kept open so the pty does not hang up between opens
    std::atomic<int> m_conn{-1};
    int m_stopFd = -1;
    std::atomic<bool> m_closed{false};
    mutable std::mutex m_mutex;
    std::mutex m_writeMutex;
    std::vector<std::string> m_commands;
    std::thread m_thread;
};
