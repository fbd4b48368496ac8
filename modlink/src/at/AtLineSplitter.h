// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace modlink::at {

// Cuts the byte stream of a modem into lines. CR and LF both end a line and
// empty lines are dropped, so "\r\n", "\r\r\n" and bare "\n" all work. The
// "> " prompt of AT+CMGS has no line end: it is reported as its own token
// when the caller says a prompt may come. Binary junk at the start of a line
// (line noise, a modem booting) is dropped. A line that grows past kMaxLine
// is no AT line: it is discarded whole, up to its CR or LF, so its tail is
// never taken for a line of its own (a tail reading "ERROR" would end the
// wrong command) and a babbling port cannot exhaust memory.
class AtLineSplitter final {
public:
    static constexpr std::size_t kMaxLine = 4096;
    static constexpr std::string_view kPrompt = ">";

    void feed(std::string_view bytes);
    // The next complete line, or the prompt token kPrompt when promptExpected
    // and the pending partial line is "> ".
    std::optional<std::string> next(bool promptExpected = false);
    void clear();
    bool hasPartial() const { return !m_partial.empty(); }
    // Sizes of the overlong lines discarded since the last call (for the
    // trace); a line still being discarded is reported once it ends.
    std::vector<std::size_t> takeDiscarded();

private:
    std::string m_buffer;
    std::size_t m_pos = 0;
    std::string m_partial;
    bool m_discarding = false;
    std::size_t m_discardedBytes = 0;
    std::vector<std::size_t> m_discarded;
};

}  // namespace modlink::at
