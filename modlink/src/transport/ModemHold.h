// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <string>

namespace modlink {

// Asks the system's modem manager, where one runs, to let go of the USB
// modem at usbPath (its sysfs directory) before one of its ports is opened.
// True when the ports may be opened; false when the manager keeps it (the
// caller then leaves the modem alone and says why).
bool holdModemFromManager(const std::string& usbPath, std::string& why);

}  // namespace modlink
