// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

#include "AtChannel.h"
#include "DeviceState.h"
#include "Request.h"
#include "at/UnsolicitedRouter.h"
#include "transport/Discovery.h"

namespace modlink {

// One device: its port, its worker thread and its request queue. Requests
// run one after the other on the worker; the queue can be inspected and a
// request that has not started can be withdrawn.
class DeviceWorker final {
public:
    static constexpr std::size_t kMaxQueue = 256;
    using Setup = std::function<bool(AtChannel&, DeviceState&)>;

    DeviceWorker(int device, std::unique_ptr<Transport> transport);
    ~DeviceWorker();
    DeviceWorker(const DeviceWorker&) = delete;
    DeviceWorker& operator=(const DeviceWorker&) = delete;

    // Starts the thread, runs setup on it and waits for its result. On
    // false the thread has ended.
    bool start(Setup setup);
    // Tells the worker to stop; it answers what is still queued with
    // "ERROR: link closed", closes its port and ends (see waitFinished).
    void stop();
    bool finished() const;

    void setDevice(int device) { m_device = device; }
    int device() const { return m_device.load(); }
    const std::string& portName() const { return m_portName; }
    // How the port was found; set before start().
    void setOrigin(PortOrigin origin) { m_origin = std::move(origin); }
    const PortOrigin& origin() const { return m_origin; }
    // Handlers run on the worker thread; register before start().
    at::UnsolicitedRouter& router() { return m_router; }
    // For unsolicited handlers, which run on the worker thread only.
    DeviceState& state() { return m_state; }

    bool submit(std::shared_ptr<Request> request);
    // Withdraws a queued request that allows it; false once it has started.
    bool cancel(int id);
    int commandCount() const;
    bool alive() const { return m_alive.load(); }
    // The SIM waits for its PIN (or is missing); sends go elsewhere.
    bool simLocked() const { return m_simLocked.load(); }
    // Event 4097's text for the SIM's state; empty when it is open.
    std::string simStateText() const;
    // Waits until the stopped worker has answered its queue, closed the
    // port and ended.
    bool waitFinished(int timeoutMs);
    bool onWorkerThread() const { return m_thread.get_id() == std::this_thread::get_id(); }

private:
    void main(Setup setup, std::promise<bool>* started);
    void serve();
    void wake();
    void unplugged();
    void answerQueued(const std::string& why);
    // Worker thread: publishes the SIM's state for other threads.
    void noteSimState();

    std::atomic<int> m_device;
    std::string m_portName;
    PortOrigin m_origin;
    at::UnsolicitedRouter m_router;
    int m_wakeFd = -1;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_alive{false};
    std::atomic<bool> m_simLocked{false};
    std::string m_simStateText;  // under m_mutex
    std::unique_ptr<AtChannel> m_channel;
    DeviceState m_state;
    mutable std::mutex m_mutex;
    std::deque<std::shared_ptr<Request>> m_queue;
    bool m_running = false;  // a request is being executed
    bool m_finished = false;
    std::condition_variable m_finishedCv;
    std::thread m_thread;
};

}  // namespace modlink
