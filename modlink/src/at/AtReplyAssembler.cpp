// SPDX-License-Identifier: LGPL-2.1-or-later
#include "AtReplyAssembler.h"

#include "AtText.h"

namespace modlink::at {

void AtReplyAssembler::begin(const AtCommand& cmd, bool numeric) {
    m_text = cmd.text;
    m_numeric = numeric;
    m_overflow = false;
    m_bytes = 0;
    m_prefixes = cmd.prefixes;
    m_callResults = cmd.callResults;
    m_echoSeen = false;
    m_reply = AtReply{};
    m_unsolicited.clear();
    m_continuation = 0;
    m_dropped = 0;
}

AtReplyAssembler::Outcome AtReplyAssembler::feed(std::string_view line) {
    if (m_continuation > 0) {
        m_unsolicited.emplace_back(line);
        return --m_continuation == 0 ? Outcome::Unsolicited : Outcome::Consumed;
    }
    // The echo of a modem that was not told ATE0 (or forgot it after a reset).
    if (!m_echoSeen && m_reply.lines.empty() && equalsNoCase(line, m_text)) {
        m_echoSeen = true;
        return Outcome::Consumed;
    }
    FinalResult fr;
    if (parseFinalResult(line, m_callResults, fr, m_numeric)) {
        m_reply.status = m_overflow ? AtStatus::Overflow : fr.status;
        m_reply.code = fr.code;
        m_reply.finalLine = std::string(line);
        return Outcome::Complete;
    }
    bool expected = false;
    for (const auto& p : m_prefixes) expected = expected || startsWithNoCase(line, p);
    if (expected) {
        keep(line);
        return Outcome::Consumed;
    }
    int cont = 0;
    if (m_router.matches(line, &cont)) {
        m_unsolicited.assign(1, std::string(line));
        m_continuation = cont;
        return cont == 0 ? Outcome::Unsolicited : Outcome::Consumed;
    }
    if (m_prefixes.empty()) {
        keep(line);
    } else {
        ++m_dropped;
    }
    return Outcome::Consumed;
}

void AtReplyAssembler::keep(std::string_view line) {
    if (m_overflow || m_reply.lines.size() >= kMaxLines || m_bytes + line.size() > kMaxBytes) {
        if (!m_overflow) m_reply.lines.clear();  // an incomplete reply is no reply
        m_reply.lines.shrink_to_fit();
        m_overflow = true;
        ++m_dropped;
        return;
    }
    m_bytes += line.size();
    m_reply.lines.emplace_back(line);
}

std::vector<std::string> AtReplyAssembler::takeUnsolicited() {
    std::vector<std::string> out;
    out.swap(m_unsolicited);
    return out;
}

}  // namespace modlink::at
