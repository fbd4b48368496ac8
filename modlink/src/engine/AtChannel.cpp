// SPDX-License-Identifier: LGPL-2.1-or-later
#include "AtChannel.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "Trace.h"
#include "at/AtFinalResult.h"

namespace modlink {

using namespace std::chrono;
using at::AtStatus;

AtChannel::AtChannel(std::unique_ptr<Transport> transport, const at::UnsolicitedRouter& router,
                     int wakeFd, const std::atomic<bool>& stop, const std::atomic<int>& device)
    : m_transport(std::move(transport)),
      m_router(router),
      m_wakeFd(wakeFd),
      m_stop(stop),
      m_device(device),
      m_assembler(router) {}

void AtChannel::discardInput() {
    m_transport->discardInput();
    std::string junk;
    while (m_transport->read(junk) == Transport::ReadResult::Data) junk.clear();
    m_splitter.clear();
}

AtChannel::Wait AtChannel::waitFor(steady_clock::time_point deadline) {
    for (;;) {
        if (m_stop.load()) return Wait::Woken;
        int ms = -1;
        if (deadline != steady_clock::time_point::max()) {
            auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
            if (left <= 0) return Wait::Timeout;
            ms = static_cast<int>(std::min<long long>(left + 1, 1 << 30));
        }
        pollfd p[2] = {{m_transport->fd(), POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
        int n = ::poll(p, 2, ms);
        if (n < 0) {
            if (errno == EINTR) continue;
            m_dead = true;
            return Wait::Dead;
        }
        if (n == 0) continue;  // re-check the deadline
        bool woken = p[1].revents & POLLIN;
        if (woken) {
            std::uint64_t v;
            [[maybe_unused]] auto r = ::read(m_wakeFd, &v, sizeof v);
        }
        bool input = p[0].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL);
        if (input && !readInput()) return Wait::Dead;
        // A wake-up is never swallowed by input that came at the same time.
        if (woken) return Wait::Woken;
        if (input) return Wait::Input;
    }
}

bool AtChannel::readInput() {
    std::string data;
    auto r = m_transport->read(data);
    if (r == Transport::ReadResult::Closed) {
        m_dead = true;
        Trace::instance().note(device(), "port closed");
        return false;
    }
    m_splitter.feed(data);
    return true;
}

std::optional<std::string> AtChannel::nextLine(bool promptExpected) {
    auto line = m_splitter.next(promptExpected);
    for (std::size_t bytes : m_splitter.takeDiscarded())
        Trace::instance().note(device(),
                               "overlong line discarded (" + std::to_string(bytes) + " bytes)");
    if (line)
        Trace::instance().line(device(), "rx",
                               promptExpected && *line == at::AtLineSplitter::kPrompt ? "> "
                               : !m_secret.empty() && *line == m_secret
                                   ? m_secret.substr(0, m_secret.find('=') + 1) + "(hidden)"
                                   : *line);
    return line;
}

bool AtChannel::send(const std::string& bytes, bool traceIt, bool secret) {
    if (traceIt)
        Trace::instance().line(device(), "tx",
                               secret ? bytes.substr(0, bytes.find('=') + 1) + "(hidden)" : bytes);
    if (!m_transport->write(bytes + (traceIt ? "\r" : ""), 2000)) {
        m_dead = true;
        Trace::instance().note(device(), "write failed");
        return false;
    }
    return true;
}

void AtChannel::handleStray(const std::string& line) {
    at::FinalResult fr;
    if (m_idleContinuation > 0) {
        m_idleUnsolicited.push_back(line);
        if (--m_idleContinuation == 0) m_router.dispatch(std::exchange(m_idleUnsolicited, {}));
        return;
    }
    int cont = 0;
    if (m_router.matches(line, &cont)) {
        m_idleUnsolicited.assign(1, line);
        m_idleContinuation = cont;
        if (cont == 0) m_router.dispatch(std::exchange(m_idleUnsolicited, {}));
        return;
    }
    if (m_needResync && at::parseFinalResult(line, true, fr, m_numeric.value_or(true))) {
        // The reply of the command that timed out: now we are in step again.
        m_needResync = false;
        Trace::instance().note(device(), "late reply discarded");
        return;
    }
    Trace::instance().note(device(), "stray line dropped");
}

bool AtChannel::waitIdle() {
    for (;;) {
        while (auto line = nextLine()) {
            handleStray(*line);
        }
        Wait w = waitFor(steady_clock::time_point::max());
        if (w == Wait::Dead) return false;
        if (w == Wait::Woken) {
            while (auto line = nextLine()) {
                handleStray(*line);
            }
            return true;
        }
    }
}

bool AtChannel::waitUnsolicited(milliseconds timeout, const std::function<bool()>& done,
                                const std::function<bool()>& interrupted) {
    const auto deadline = steady_clock::now() + timeout;
    for (;;) {
        while (auto line = nextLine()) handleStray(*line);
        if (done()) return true;
        if (m_dead || m_stop.load()) return false;
        Wait w = waitFor(deadline);
        if (w == Wait::Dead) return false;
        if (w == Wait::Timeout) {
            while (auto line = nextLine()) handleStray(*line);
            return done();
        }
        if (w == Wait::Woken && interrupted()) return done();
    }
}

void AtChannel::resync() {
    auto deadline = steady_clock::now() + m_lateWindow;
    // First wait (bounded) for the late final result itself.
    while (m_needResync && !m_dead && !m_stop.load()) {
        while (auto line = nextLine()) {
            handleStray(*line);
            if (!m_needResync) break;
        }
        if (!m_needResync) break;
        if (waitFor(deadline) == Wait::Timeout) break;
    }
    if (m_dead || m_stop.load()) {
        m_needResync = false;
        return;
    }
    if (!m_needResync) return waitQuiet();
    // Nothing came: the reply is lost. Probe and let the probe's OK end it.
    Trace::instance().note(device(), "resync probe");
    m_needResync = false;
    at::AtCommand probe;
    probe.text = "AT";
    probe.timeout = std::max<milliseconds>(m_lateWindow, milliseconds(300));
    at::AtReply r = execute(probe);
    if (r.status == AtStatus::Timeout) return;  // execute() counted it
    // The probe's answer may have been the lost reply, its own OK then
    // still to come: what comes before the line is quiet is stray.
    waitQuiet();
}

void AtChannel::waitQuiet() {
    const auto bound = steady_clock::now() + milliseconds(2000);  // a babbling port
    for (;;) {
        while (auto line = nextLine()) {
            handleStray(*line);
        }
        if (m_dead || m_stop.load()) return;
        auto quietEnd = std::min(steady_clock::now() + kQuiet, bound);
        if (steady_clock::now() >= bound) return;
        Wait w = waitFor(quietEnd);
        if (w == Wait::Timeout || w == Wait::Dead) return;
    }
}

at::AtReply AtChannel::execute(const at::AtCommand& cmd) {
    at::AtReply reply;
    if (m_stop.load()) {
        reply.status = AtStatus::Cancelled;
        return reply;
    }
    // A probe that times out leaves us out of step again; each round
    // either ends it or counts a time-out, so this ends.
    while (!m_dead && m_needResync && !m_stop.load()) resync();
    if (m_dead) {
        reply.status = AtStatus::Unplugged;
        if (cmd.handler) cmd.handler(reply);
        return reply;
    }
    // Whatever arrived before the command was sent is not its reply.
    // (Bounded: a port that keeps reporting input must not hold us here.)
    pollfd p{m_transport->fd(), POLLIN, 0};
    for (int i = 0; i < 16 && ::poll(&p, 1, 0) > 0 && readInput(); ++i) p.revents = 0;
    while (auto line = nextLine()) {
        handleStray(*line);
    }
    if (m_dead) {
        reply.status = AtStatus::Unplugged;
        if (cmd.handler) cmd.handler(reply);
        return reply;
    }
    // Until the setup says V1, a modem left in V0 by another program must
    // still be understood; a V0 command's own result is numeric already.
    m_assembler.begin(cmd, m_numeric.value_or(true) || at::numericResultsAfter(cmd.text) == true);
    bool promptDone = !cmd.payload.has_value();
    // A modem that still echoes sends a secret back: not into the trace.
    m_secret = cmd.secret ? cmd.text : std::string();
    auto deadline = steady_clock::now() + cmd.timeout;
    bool done = false;
    if (!send(cmd.text, true, cmd.secret)) {
        reply.status = AtStatus::Unplugged;
    } else {
        while (!done) {
            while (auto line = nextLine(!promptDone)) {
                if (!promptDone && *line == at::AtLineSplitter::kPrompt) {
                    promptDone = true;
                    Trace::instance().line(device(), "tx", *cmd.payload + "<ctrl-z>");
                    if (!send(*cmd.payload + "\x1A", false)) break;
                    continue;
                }
                bool overflowed = m_assembler.overflowed();
                auto outcome = m_assembler.feed(*line);
                if (!overflowed && m_assembler.overflowed())
                    Trace::instance().note(device(), "reply longer than a command keeps: " +
                                                         cmd.text + " fails, the rest is dropped");
                if (outcome == at::AtReplyAssembler::Outcome::Unsolicited) {
                    m_router.dispatch(m_assembler.takeUnsolicited());
                } else if (outcome == at::AtReplyAssembler::Outcome::Complete) {
                    reply = m_assembler.takeReply();
                    done = true;
                    break;
                }
            }
            if (done) break;
            if (m_dead) {
                reply.status = AtStatus::Unplugged;
                break;
            }
            Wait w = waitFor(deadline);
            if (w == Wait::Dead) {
                reply.status = AtStatus::Unplugged;
                break;
            }
            if (w == Wait::Timeout) {
                reply.status = AtStatus::Timeout;
                break;
            }
            if (w == Wait::Woken && m_stop.load()) {
                reply.status = AtStatus::Cancelled;
                break;
            }
        }
    }
    if (reply.status == AtStatus::Timeout) {
        Trace::instance().note(
            device(),
            "timeout: " + (cmd.secret ? cmd.text.substr(0, cmd.text.find('=')) : cmd.text));
        m_needResync = true;
        m_lateWindow = std::min<milliseconds>(cmd.timeout, milliseconds(5000));
        // A modem left waiting for a message body at the "> " prompt takes
        // every later command as text: ESC leaves it (27.005 3.5.1).
        if (cmd.payload && !m_dead) send("\x1B", false);
        if (++m_timeouts >= kMaxTimeouts) {
            m_dead = true;
            Trace::instance().note(device(), "too many time-outs: device lost");
        }
    } else if (reply.status != AtStatus::Cancelled && reply.status != AtStatus::Unplugged) {
        m_timeouts = 0;
        if (reply.ok())
            if (auto numeric = at::numericResultsAfter(cmd.text)) m_numeric = *numeric;
    }
    // Past the bound the reply is incomplete whatever ended it.
    if (m_assembler.overflowed() && reply.status != AtStatus::Cancelled &&
        reply.status != AtStatus::Unplugged) {
        reply.status = AtStatus::Overflow;
        reply.lines.clear();
    }
    m_secret.clear();
    if (cmd.handler) cmd.handler(reply);
    return reply;
}

}  // namespace modlink
