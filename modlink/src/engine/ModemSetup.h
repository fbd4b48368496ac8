// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <chrono>
#include <string>

#include "AtChannel.h"
#include "DeviceState.h"

namespace modlink {

// Brings a modem into the state the library relies on: it answers AT, no
// echo, numeric +CME errors, PDU mode, UCS2 names, the SIM as message store,
// new messages announced by +CMTI, caller id on. Only a modem that does not
// answer AT fails; a refused optional setting is traced and the fallback
// kept (for example the IRA character set when UCS2 is refused). A SIM that
// waits for its PIN leaves state.simLock set and the settings from PDU mode
// on unmade (finishSetUp makes them once it is unlocked).
bool setUpModem(AtChannel& channel, DeviceState& state);

// How long a busy SIM (+CPIN: NOT READY, +CME ERROR: 14) is asked again.
constexpr std::chrono::milliseconds kSimBusyWait{6000};
constexpr std::chrono::milliseconds kSimBusyPause{500};

// Reads AT+CPIN? into state.simLock, and the tries left when the modem
// tells them (AT+CPINR, else Huawei's AT^CPIN?, else Quectel's AT+QPINC).
void readSimState(AtChannel& channel, DeviceState& state);
// The settings that need the SIM.
void finishSetUp(AtChannel& channel, DeviceState& state);
// Event 4097's text: "SIM PIN,3", "SIM PUK", "SIM not inserted"; empty
// when the SIM is ready.
std::string simStateText(const DeviceState& state);

// Sends "AT" and looks for OK, for picking the AT port among a modem's
// interfaces.
bool probeAt(Transport& transport, int timeoutMs);

}  // namespace modlink
