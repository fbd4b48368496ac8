// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "at/AtCommand.h"
#include "at/AtLineSplitter.h"
#include "at/AtReplyAssembler.h"
#include "at/UnsolicitedRouter.h"
#include "transport/Transport.h"

namespace modlink {

// The AT command channel of one device. Runs one command at a time on the
// device's worker thread and blocks that thread in poll() while it waits,
// so an idle link costs no CPU.
//
// Late replies: after a command times out, its reply may still come. The
// channel then waits (bounded) for that final result before it sends the
// next command, and if none comes, probes with "AT" and waits for quiet, so
// a late reply is discarded and never credited to the next command.
// kMaxTimeouts time-outs in a row, a read error or end of file mark the
// port dead.
class AtChannel final {
public:
    static constexpr int kMaxTimeouts = 3;
    static constexpr std::chrono::milliseconds kQuiet{200};

    AtChannel(std::unique_ptr<Transport> transport, const at::UnsolicitedRouter& router, int wakeFd,
              const std::atomic<bool>& stop, const std::atomic<int>& device);

    at::AtReply execute(const at::AtCommand& cmd);
    // Waits for input or a wake-up, handling unsolicited lines; returns when
    // woken. False when the port is gone.
    bool waitIdle();
    // Handles unsolicited lines (an answer that comes after the command's
    // OK, such as +CUSD) until done() holds, the time-out passes, or a
    // wake-up finds interrupted() true. True when done() held.
    bool waitUnsolicited(std::chrono::milliseconds timeout, const std::function<bool()>& done,
                         const std::function<bool()>& interrupted);
    bool alive() const { return !m_dead; }
    void discardInput();
    const std::string& portName() const { return m_transport->name(); }
    int device() const { return m_device.load(); }

private:
    enum class Wait { Input, Woken, Timeout, Dead };
    Wait waitFor(std::chrono::steady_clock::time_point deadline);
    bool readInput();
    bool send(const std::string& bytes, bool traceIt, bool secret = false);
    // The splitter's next line, traced, with discarded overlong lines noted.
    std::optional<std::string> nextLine(bool promptExpected = false);
    void resync();
    // Drops what still comes until the line has been quiet for kQuiet.
    void waitQuiet();
    void handleStray(const std::string& line);

    std::unique_ptr<Transport> m_transport;
    const at::UnsolicitedRouter& m_router;
    int m_wakeFd;
    const std::atomic<bool>& m_stop;
    const std::atomic<int>& m_device;
    at::AtLineSplitter m_splitter;
    at::AtReplyAssembler m_assembler;
    bool m_dead = false;
    bool m_needResync = false;
    std::chrono::milliseconds m_lateWindow{0};
    int m_timeouts = 0;
    // Result code format (ATV0 numeric, ATV1 verbose); unknown until set.
    std::optional<bool> m_numeric;
    // Idle lines: unsolicited codes may span several lines (+CMT).
    std::vector<std::string> m_idleUnsolicited;
    int m_idleContinuation = 0;
    // The secret command running, whose echo the trace must not show.
    std::string m_secret;
};

}  // namespace modlink
