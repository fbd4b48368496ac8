// SPDX-License-Identifier: GPL-3.0-or-later
#include "AtCommandTable.h"

namespace zuntosim {

AtCommandTable::AtCommandTable() {
    registerGeneralCommands(*this);
    registerNetworkCommands(*this);
    registerSmsSettingCommands(*this);
    registerPhonebookCommands(*this);
    registerSmsCommands(*this);
    registerCallCommands(*this);
    registerSupplementaryCommands(*this);
    registerSimLockCommands(*this);
    add("AT", [](ModemState&, const SimCommand&, SimReply&) {});
}

void AtCommandTable::run(ModemState& state, const SimCommand& cmd, SimReply& reply) const {
    auto it = m_handlers.find(cmd.name);
    if (it == m_handlers.end()) {
        reply.final = "ERROR";
        return;
    }
    if (refusedBySimLock(state, cmd, reply)) return;
    it->second(state, cmd, reply);
}

namespace {
const char* cmeText(int code) {
    switch (code) {
        case 3:
            return "operation not allowed";
        case 4:
            return "operation not supported";
        case 10:
            return "SIM not inserted";
        case 11:
            return "SIM PIN required";
        case 12:
            return "SIM PUK required";
        case 16:
            return "incorrect password";
        case 20:
            return "memory full";
        case 21:
            return "invalid index";
        case 22:
            return "not found";
        case 24:
            return "text string too long";
        case 25:
            return "invalid characters in text string";
        case 26:
            return "dial string too long";
        case 27:
            return "invalid characters in dial string";
        default:
            return "unknown";
    }
}
}  // namespace

void cmeError(const ModemState& state, SimReply& reply, int code) {
    if (state.cmee == 0)
        reply.final = "ERROR";
    else if (state.cmee == 2)
        reply.final = std::string("+CME ERROR: ") + cmeText(code);
    else
        reply.final = "+CME ERROR: " + std::to_string(code);
}

void cmsError(const ModemState& state, SimReply& reply, int code) {
    reply.final = state.cmee == 0 ? std::string("ERROR") : "+CMS ERROR: " + std::to_string(code);
}

}  // namespace zuntosim
