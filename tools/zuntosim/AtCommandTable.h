// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ModemState.h"
#include "SimCommand.h"

namespace zuntosim {

// What a command answers: information lines and its final result code.
struct SimReply {
    std::vector<std::string> lines;
    std::string final = "OK";
    // Unsolicited result codes the command causes, sent after its final
    // result (a registration change, the network's USSD answer).
    std::vector<std::string> after;
    // What the modem does after the reply: a data dial connects (final
    // "CONNECT") or waits without a final result (the network never answers).
    enum class Next { Command, Data, Silent } next = Next::Command;
    bool failed() const { return final != "OK"; }
};

// The simulator's AT command table: command name -> handler. Each command
// family registers its handlers from its own file.
class AtCommandTable final {
public:
    using Handler = std::function<void(ModemState&, const SimCommand&, SimReply&)>;

    AtCommandTable();  // registers every family
    void add(const std::string& name, Handler handler) { m_handlers[name] = std::move(handler); }
    // Runs one command; an unknown command answers ERROR as modems do.
    void run(ModemState& state, const SimCommand& cmd, SimReply& reply) const;

private:
    std::map<std::string, Handler> m_handlers;
};

// Sets the final result to a 27.007 error in the form +CMEE asks for.
void cmeError(const ModemState& state, SimReply& reply, int code);
void cmsError(const ModemState& state, SimReply& reply, int code);

void registerGeneralCommands(AtCommandTable& table);
void registerNetworkCommands(AtCommandTable& table);
void registerSmsSettingCommands(AtCommandTable& table);
void registerPhonebookCommands(AtCommandTable& table);
void registerSmsCommands(AtCommandTable& table);
void registerCallCommands(AtCommandTable& table);
void registerSupplementaryCommands(AtCommandTable& table);
void registerSimLockCommands(AtCommandTable& table);
// True when the SIM's lock refuses cmd (a SIM command before the PIN).
bool refusedBySimLock(const ModemState& state, const SimCommand& cmd, SimReply& reply);

}  // namespace zuntosim
