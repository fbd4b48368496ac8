// SPDX-License-Identifier: LGPL-2.1-or-later
#include "AtLineSplitter.h"

#include <utility>

namespace modlink::at {

namespace {

bool isJunk(unsigned char c) {
    return c < 0x20 || c == 0x7F || c >= 0xF8;
}

std::string trimLine(std::string s) {
    std::size_t b = 0;
    // A line never starts with control bytes or bytes no text encoding uses;
    // they are what is left of noise on the line.
    while (b < s.size() && (isJunk(static_cast<unsigned char>(s[b])) || s[b] == ' ')) ++b;
    std::size_t e = s.size();
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\0')) --e;
    std::string out;
    out.reserve(e - b);
    for (std::size_t i = b; i < e; ++i)
        if (s[i] != '\0') out += s[i];
    return out;
}

}  // namespace

void AtLineSplitter::feed(std::string_view bytes) {
    if (m_pos > 0 && m_pos == m_buffer.size()) {
        m_buffer.clear();
        m_pos = 0;
    }
    m_buffer.append(bytes);
}

std::optional<std::string> AtLineSplitter::next(bool promptExpected) {
    while (m_pos < m_buffer.size()) {
        char c = m_buffer[m_pos++];
        if (c == '\r' || c == '\n') {
            if (m_discarding) {
                m_discarding = false;
                m_discarded.push_back(m_discardedBytes);
                continue;
            }
            std::string line = trimLine(std::move(m_partial));
            m_partial.clear();
            if (!line.empty()) return line;
            continue;
        }
        if (m_discarding) {
            ++m_discardedBytes;
            continue;
        }
        m_partial += c;
        if (m_partial.size() > kMaxLine) {
            m_discardedBytes = m_partial.size();
            m_partial.clear();
            m_partial.shrink_to_fit();
            m_discarding = true;
        }
    }
    if (m_pos == m_buffer.size()) {
        m_buffer.clear();
        m_pos = 0;
    }
    if (promptExpected) {
        std::string p = trimLine(m_partial);
        if (p == ">") {
            m_partial.clear();
            return std::string(kPrompt);
        }
    }
    return std::nullopt;
}

void AtLineSplitter::clear() {
    m_buffer.clear();
    m_pos = 0;
    m_partial.clear();
    if (m_discarding) m_discarded.push_back(m_discardedBytes);
    m_discarding = false;
}

std::vector<std::size_t> AtLineSplitter::takeDiscarded() {
    return std::exchange(m_discarded, {});
}

}  // namespace modlink::at
