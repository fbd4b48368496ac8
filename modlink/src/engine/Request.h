#pragma once
#include <functional>

namespace modlink {

class AtChannel;
struct DeviceState;

// One queued library request: the commands it runs and how it answers.
// run() executes on the device's worker thread and sends the answer event;
// abort() answers a request that never ran because the device went away.
struct Request {
    int id = -1;
    // Only requests that say so can be withdrawn before they start (sends).
    bool withdrawable = false;
    std::function<void(AtChannel&, DeviceState&)> run;
    std::function<void()> abort;
};

}  // namespace modlink
