// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <sys/types.h>

#include <atomic>
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
// SIGKILL when it is still there after killAfterMs.
class PppSession final {
public:
    struct Setup {
        std::string port;              // /dev/ttyUSB0
        std::string number;            // dialled with ATD
        std::string userInit;          // sent after AT, before ATD; may be empty
        std::optional<RASIPADDR> dns;  // a given name server
        std::string entryName, deviceName;
    };

    PppSession(const PppConfig& config, Setup setup, RasDialFunc notifier, unsigned id);
    ~PppSession();  // stops following; leaves pppd running

    void start();
    void hangUp();
    // The thread has seen pppd end (or never start it).
    bool ended() const { return m_ended; }
    bool connected() const { return m_connected && !m_ended; }
    bool hungUp() const { return m_hungUp; }
    RASCONNSTATUSA status() const;
    pid_t pid() const { return m_pid; }
    const Setup& setup() const { return m_setup; }
    std::filesystem::path logFile() const;

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
    void linkUp();
    void linkDown();

    const PppConfig& m_config;
    Setup m_setup;
    RasDialFunc m_notifier;
    unsigned m_id;
    std::thread m_thread;
    mutable std::mutex m_mutex;  // m_progress, m_ifname
    PppProgress m_progress;
    std::string m_ifname;
    std::atomic<pid_t> m_pid{0};
    std::atomic<bool> m_hungUp{false}, m_stop{false}, m_ended{false}, m_connected{false};
    bool m_dnsWritten = false;
};

}  // namespace platform::ras
