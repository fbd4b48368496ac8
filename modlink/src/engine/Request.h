// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <functional>
#include <string>

namespace modlink {

class AtChannel;
struct DeviceState;

// One queued library request: the commands it runs and how it answers.
// run() executes on the device's worker thread and sends the answer event;
// abort() answers a request that never ran: the device went away or the
// link closed; why is the error answer to give ("ERROR: link closed").
struct Request {
    int id = -1;
    // Only requests that say so can be withdrawn before they start (sends).
    bool withdrawable = false;
    // Runs also while the SIM is locked (the PIN itself, diagnosis).
    bool whileLocked = false;
    std::function<void(AtChannel&, DeviceState&)> run;
    std::function<void(const std::string& why)> abort;
};

}  // namespace modlink
