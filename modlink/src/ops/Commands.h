// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <string>
#include <vector>

#include "at/AtCommand.h"
#include "engine/AtChannel.h"
#include "engine/DeviceState.h"
#include "engine/EventSink.h"
#include "engine/Timeouts.h"

namespace modlink::requests {

inline at::AtCommand command(std::string text, std::vector<std::string> prefixes = {},
                             int timeoutFactor = 1) {
    at::AtCommand c;
    c.text = std::move(text);
    c.timeout = baseTimeout() * timeoutFactor;
    c.prefixes = std::move(prefixes);
    return c;
}

inline void emit(unsigned ev, const std::string& text, int param) {
    EventSink::instance().emit(ev, text, param);
}

inline void emitClose(unsigned ev, int param) {
    EventSink::instance().emit(ev, std::nullopt, param);
}

// Selects the SIM phonebook once per device; a failure makes the next
// phonebook request select it again.
inline bool selectSimPhonebook(AtChannel& ch, DeviceState& st, at::AtReply& reply) {
    if (st.phonebookSelected) return true;
    reply = ch.execute(command("AT+CPBS=\"SM\""));
    st.phonebookSelected = reply.ok();
    return reply.ok();
}

}  // namespace modlink::requests
