#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
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
    void close();
    bool isOpen() const;
    int deviceCount() const;
    std::shared_ptr<DeviceWorker> device(int index) const;

    // Queues a request on a device; returns its id, or -1 when the device
    // does not exist, is gone or its queue is full.
    using Run = std::function<void(AtChannel&, DeviceState&, int id)>;
    using Abort = std::function<void(int id)>;
    int submit(int device, Run run, Abort abort, bool withdrawable = false);
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
    mutable std::mutex m_mutex;
    bool m_open = false;
    std::vector<std::shared_ptr<DeviceWorker>> m_devices;
    std::vector<RouterSetup> m_routerSetups;
    // Workers stopped from their own thread (CloseModules in the callback).
    std::vector<std::shared_ptr<DeviceWorker>> m_retired;
    std::atomic<int> m_nextId{1};
    // Choice and queueing of a send happen together, so two sends at once
    // see each other's queue length.
    std::mutex m_sendMutex;
    int m_lastSendDevice = 0;
};

}  // namespace modlink
