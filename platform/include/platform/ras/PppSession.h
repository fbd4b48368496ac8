// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/ras/PppConfig.h"
#include "platform/ras/PppProgress.h"
#include "platform/ras/Ras.h"

namespace platform::ras {

// One pppd run: a thread of its own checks the port, starts pppd in a
// session of its own (its log going to a file, so the link outlives the
// program), follows the log and reports progress through the notifier.
// After hangUp() nothing is reported any more; pppd gets SIGTERM, and
// SIGKILL when it is still there after killAfterMs. The chat script and
// the log are removed when the session ends.
class PppSession final {
public:
    struct Setup {
        std::string port;              // /dev/ttyUSB0
        std::string number;            // dialled with ATD
        std::string userInit;          // sent after AT, before ATD; may be empty
        std::optional<RASIPADDR> dns;  // a given name server
        std::string entryName, deviceName;
    };

    // What a status query shows of the link.
    struct Info {
        std::string port, ifname, localIp, dns;
        std::chrono::system_clock::time_point since;  // when it came up
    };

    PppSession(const PppConfig& config, Setup setup, RasDialFunc notifier, unsigned id);
    // Stops following. A link that is up goes on without us; a dial still
    // under way is ended as hangUp() does (and waited for), so no pppd is
    // left behind that nobody follows.
    ~PppSession();

    void start();
    void hangUp();
    // The thread has seen pppd end (or never start it).
    bool ended() const { return m_ended; }
    bool connected() const { return m_connected && !m_ended; }
    bool hungUp() const { return m_hungUp; }
    RASCONNSTATUSA status() const;
    pid_t pid() const { return m_pid; }
    const Setup& setup() const { return m_setup; }
    Info info() const;
    std::filesystem::path logFile() const;
    std::filesystem::path scriptFile() const;

    // The pppd command line for this session (tests read it).
    std::vector<std::string> commandLine() const;
    // The chat script; empty when the texts cannot be put in one.
    static std::string chatScript(const std::string& userInit, const std::string& number);

private:
    std::string tag() const;
    void run();
    bool spawn();
    void handle(const std::vector<PppProgress::Notice>& notices);
    void feed(const std::string& line);
    void removeFiles();

    const PppConfig& m_config;
    Setup m_setup;
    RasDialFunc m_notifier;
    unsigned m_id;
    std::thread m_thread;
    mutable std::mutex m_mutex;  // m_progress, m_ifname, m_localIp, m_peerDns, m_since
    PppProgress m_progress;
    std::string m_ifname, m_localIp, m_peerDns;
    std::chrono::system_clock::time_point m_since;
    std::atomic<pid_t> m_pid{0};
    std::atomic<bool> m_hungUp{false}, m_stop{false}, m_ended{false}, m_connected{false};
    bool m_wroteCurrent = false;
};

}  // namespace platform::ras
