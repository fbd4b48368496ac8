#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace modlink::at {

// Cuts the byte stream of a modem into lines. CR and LF both end a line and
// empty lines are dropped, so "\r\n", "\r\r\n" and bare "\n" all work. The
// "> " prompt of AT+CMGS has no line end: it is reported as its own token
// when the caller says a prompt may come. Binary junk at the start of a line
// (line noise, a modem booting) is dropped; a line that grows past the limit
// is cut so a babbling port cannot exhaust memory.
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

private:
    std::string m_buffer;
    std::size_t m_pos = 0;
    std::string m_partial;
};

}  // namespace modlink::at
