// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "AtCommand.h"
#include "UnsolicitedRouter.h"

namespace modlink::at {

// Sorts the lines that arrive while one command runs: its echo (when the
// modem still echoes), its information lines, unsolicited lines, and the
// final result that completes it. Pure: the channel feeds it lines.
class AtReplyAssembler final {
public:
    enum class Outcome {
        Consumed,     // part of the reply, or noise that is dropped
        Unsolicited,  // a complete unsolicited code: see takeUnsolicited()
        Complete,     // the final result arrived: see reply()
    };

    explicit AtReplyAssembler(const UnsolicitedRouter& router) : m_router(router) {}

    // Bounds of what one command keeps: a modem that streams junk must not
    // grow the process. Past either the reply fails (AtStatus::Overflow).
    static constexpr std::size_t kMaxLines = 4096;
    static constexpr std::size_t kMaxBytes = 1 << 20;

    // numeric: the modem gives numeric result codes ("0", "4"), see
    // parseFinalResult.
    void begin(const AtCommand& cmd, bool numeric = false);
    Outcome feed(std::string_view line);
    const AtReply& reply() const { return m_reply; }
    AtReply takeReply() { return std::move(m_reply); }
    std::vector<std::string> takeUnsolicited();
    // Lines that were neither expected nor unsolicited (for the trace).
    std::size_t dropped() const { return m_dropped; }
    // The command kept more than kMaxLines or kMaxBytes (the rest was dropped).
    bool overflowed() const { return m_overflow; }

private:
    const UnsolicitedRouter& m_router;
    std::string m_text;
    std::vector<std::string> m_prefixes;
    bool m_callResults = false;
    bool m_echoSeen = false;
    bool m_numeric = false;
    bool m_overflow = false;
    std::size_t m_bytes = 0;
    AtReply m_reply;
    std::vector<std::string> m_unsolicited;
    int m_continuation = 0;
    std::size_t m_dropped = 0;

    void keep(std::string_view line);
};

}  // namespace modlink::at
