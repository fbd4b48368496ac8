// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include "Discovery.h"

namespace modlink {

// Takes a modem found on the USB bus from ModemManager (through the hold
// helper) before any of its ports is opened. False when ModemManager
// refused to let go: the trace says why and the caller keeps off the modem,
// which ModemManager may be using.
bool takeFromModemManager(const FoundModem& modem);

// How many modems the last attempt to open the link left closed because
// ModemManager refused; reset when the link is opened again.
int managerRefusals();
void resetManagerRefusals();

}  // namespace modlink
