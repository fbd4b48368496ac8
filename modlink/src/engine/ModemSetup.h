// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include "AtChannel.h"
#include "DeviceState.h"

namespace modlink {

// Brings a modem into the state the library relies on: it answers AT, no
// echo, numeric +CME errors, PDU mode, UCS2 names, the SIM as message store,
// new messages announced by +CMTI, caller id on. Only a modem that does not
// answer AT fails; a refused optional setting is traced and the fallback
// kept (for example the IRA character set when UCS2 is refused).
bool setUpModem(AtChannel& channel, DeviceState& state);

// Sends "AT" and looks for OK, for picking the AT port among a modem's
// interfaces.
bool probeAt(Transport& transport, int timeoutMs);

}  // namespace modlink
