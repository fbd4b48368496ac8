// SPDX-License-Identifier: LGPL-2.1-or-later
#include "ManagerHold.h"

#include <atomic>
#include <cstdlib>

#include "engine/Trace.h"
#include "platform/ModemHold.h"

namespace modlink {

namespace {
std::atomic<int> g_refusals{0};
}

bool takeFromModemManager(const FoundModem& modem) {
    if (modem.ports.empty()) return true;
    const char* root = std::getenv("MODLINK_SYSFS_ROOT");
    platform::ModemHoldRequest req;
    req.usbDevice = modem.usbPath;
    req.uid = platform::managerUidOf(modem.usbPath, root && *root ? root : "/sys");
    req.port = modem.ports.front();
    auto r = platform::holdModemFromManager(req);
    if (r.kind != platform::ModemHoldResult::Kind::NotRunning)
        Trace::instance().note(0, req.uid + ": " + r.describe());
    if (r.mayOpen()) return true;
    ++g_refusals;
    return false;
}

int managerRefusals() {
    return g_refusals.load();
}

void resetManagerRefusals() {
    g_refusals = 0;
}

}  // namespace modlink
