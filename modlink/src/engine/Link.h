// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "DeviceWorker.h"

namespace modlink {

// The library's one link: the attached devices (index 1..16) and their
// workers, and the numbering of command ids.
class Link final {
public:
    static constexpr int kMaxDevices = 16;
    static Link& instance();

    // 0 when the link is up (also with no device), else non-zero; see
    // InitModules.
    int open();
    // Stops every worker and returns once they have ended and closed their
    // ports, also when another close runs at the same time. Called from the
    // callback, it cannot wait for its own worker: that one ends as soon as
    // the callback returns, and delivers no further event.
    void close();
    bool isOpen() const;
    int deviceCount() const;
    std::shared_ptr<DeviceWorker> device(int index) const;
    // The serial ports the last open() found but did not use, and why.
    std::vector<UnusedPort> unusedPorts() const;

    // Queues a request on a device; returns its id, or -1 when the device
    // does not exist, is gone or its queue is full.
    using Run = std::function<void(AtChannel&, DeviceState&, int id)>;
    using Abort = std::function<void(int id, const std::string& why)>;
    // whileLocked: it runs also while the device's SIM is locked.
    int submit(int device, Run run, Abort abort, bool withdrawable = false,
               bool whileLocked = false);
    // Queues a request on the attached device with the shortest queue,
    // round-robin among equals (sends name no device). -1 when none takes it.
    int submitToLeastBusy(Run run, Abort abort, bool withdrawable);
    // Withdraws a request that has not started; false when it has started,
    // finished or is unknown.
    bool cancel(int id);
    // Called before the workers start: lets a feature add its unsolicited
    // handlers to every device's router.
    using RouterSetup = std::function<void(DeviceWorker&)>;
    void addRouterSetup(RouterSetup setup);

private:
    // Drops the stopped workers that have ended.
    void forgetEnded();
    struct Candidate {
        std::unique_ptr<Transport> transport;
        PortOrigin origin;
    };
    // Opens the ports to attach: the Zunto modems, the table's modems, the
    // named ports; 0, or non-zero when a port of a found modem is held by
    // another program (see InitModules).
    int openPorts(std::vector<Candidate>& out, std::vector<UnusedPort>& unused);

    mutable std::mutex m_mutex;
    bool m_open = false;
    std::vector<std::shared_ptr<DeviceWorker>> m_devices;
    std::vector<UnusedPort> m_unused;
    std::vector<RouterSetup> m_routerSetups;
    // Workers told to stop that have not ended yet: a close waits for them,
    // also for those of a close running at the same time in another thread.
    std::vector<std::shared_ptr<DeviceWorker>> m_closing;
    // Workers whose own thread is inside close() (CloseModules called from
    // the callback): two of them must not wait for each other.
    std::set<const DeviceWorker*> m_closingFromWorker;
    std::atomic<int> m_nextId{1};
    // Choice and queueing of a send happen together, so two sends at once
    // see each other's queue length.
    std::mutex m_sendMutex;
    int m_lastSendDevice = 0;
};

}  // namespace modlink
