// SPDX-License-Identifier: LGPL-2.1-or-later
#include "Link.h"

#include <algorithm>
#include <future>

#include "ModemSetup.h"
#include "Trace.h"
#include "transport/Discovery.h"
#include "transport/ManagerHold.h"

namespace modlink {

Link& Link::instance() {
    static Link l;
    return l;
}

bool Link::isOpen() const {
    std::lock_guard lock(m_mutex);
    return m_open;
}

int Link::deviceCount() const {
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_devices.size());
}

std::shared_ptr<DeviceWorker> Link::device(int index) const {
    std::lock_guard lock(m_mutex);
    if (!m_open || index < 1 || index > static_cast<int>(m_devices.size())) return nullptr;
    return m_devices[static_cast<std::size_t>(index - 1)];
}

void Link::addRouterSetup(RouterSetup setup) {
    std::lock_guard lock(m_mutex);
    m_routerSetups.push_back(std::move(setup));
}

int Link::open() {
    close();
    std::vector<std::shared_ptr<DeviceWorker>> closing;
    {
        std::lock_guard lock(m_mutex);
        closing = m_closing;
    }
    // A worker that closed the link from its callback may still be in it
    // (not this thread's own: it ends when this callback returns).
    for (auto& w : closing)
        if (!w->onWorkerThread()) w->waitFinished(10000);
    forgetEnded();
    Trace::instance().open();
    std::vector<std::unique_ptr<Transport>> ports;
    auto fail = [&](const std::string& port, const std::string& why) {
        Trace::instance().note(0, "cannot open " + port + ": " + why);
        return 1;
    };
    resetManagerRefusals();
    if (usbDiscoveryEnabled()) {
        for (const auto& modem : findUsbModems()) {
            if (!takeFromModemManager(modem))
                return fail(modem.usbPath, "ModemManager keeps the modem");
            // The modem shows several serial interfaces; the AT one answers.
            std::unique_ptr<Transport> chosen;
            for (const auto& port : modem.ports) {
                OpenError err;
                std::string detail;
                auto t = openTransport(port, err, detail);
                if (!t) {
                    if (err == OpenError::Busy) return fail(port, detail);
                    continue;
                }
                if (probeAt(*t, 700)) {
                    chosen = std::move(t);
                    break;
                }
            }
            if (!chosen) return fail(modem.usbPath, "no port answers AT");
            ports.push_back(std::move(chosen));
        }
    }
    for (const auto& port : configuredPorts()) {
        OpenError err;
        std::string detail;
        auto t = openTransport(port, err, detail);
        if (!t) return fail(port, detail);
        ports.push_back(std::move(t));
    }
    if (ports.size() > kMaxDevices) ports.resize(kMaxDevices);

    std::vector<RouterSetup> setups;
    {
        std::lock_guard lock(m_mutex);
        setups = m_routerSetups;
    }
    // Set the modems up in parallel: a silent port costs its time-out once.
    std::vector<std::shared_ptr<DeviceWorker>> workers;
    std::vector<std::future<bool>> results;
    for (auto& t : ports) {
        auto w = std::make_shared<DeviceWorker>(static_cast<int>(workers.size()) + 1, std::move(t));
        for (auto& s : setups) s(*w);
        workers.push_back(w);
        results.push_back(std::async(std::launch::async, [w] { return w->start(setUpModem); }));
    }
    std::vector<std::shared_ptr<DeviceWorker>> attached;
    for (std::size_t i = 0; i < workers.size(); ++i) {
        if (results[i].get()) {
            workers[i]->setDevice(static_cast<int>(attached.size()) + 1);
            attached.push_back(workers[i]);
        } else {
            Trace::instance().note(0, "no answer on " + workers[i]->portName());
        }
    }
    if (!workers.empty() && attached.empty()) return 1;
    std::lock_guard lock(m_mutex);
    m_devices = std::move(attached);
    m_open = true;
    for (auto& d : m_devices) Trace::instance().note(d->device(), "attached " + d->portName());
    return 0;
}

void Link::close() {
    std::vector<std::shared_ptr<DeviceWorker>> closing;
    const DeviceWorker* self = nullptr;
    {
        std::lock_guard lock(m_mutex);
        m_closing.insert(m_closing.end(), m_devices.begin(), m_devices.end());
        m_devices.clear();
        m_open = false;
        closing = m_closing;
        for (auto& w : closing)
            if (w->onWorkerThread()) self = w.get();
        if (self) m_closingFromWorker.insert(self);
    }
    for (auto& w : closing) w->stop();
    for (auto& w : closing) {
        if (w.get() == self) continue;
        // Called from a callback, do not wait for a worker that is itself
        // closing from its callback: each would wait for the other.
        while (!w->waitFinished(20)) {
            std::lock_guard lock(m_mutex);
            if (self && m_closingFromWorker.count(w.get())) break;
        }
    }
    if (self) {
        std::lock_guard lock(m_mutex);
        m_closingFromWorker.erase(self);
    }
    forgetEnded();
}

void Link::forgetEnded() {
    std::vector<std::shared_ptr<DeviceWorker>> ended;
    {
        std::lock_guard lock(m_mutex);
        auto it = std::partition(m_closing.begin(), m_closing.end(),
                                 [](const auto& w) { return !w->finished(); });
        ended.assign(std::make_move_iterator(it), std::make_move_iterator(m_closing.end()));
        m_closing.erase(it, m_closing.end());
    }
    // Destroyed here, outside the lock: each joins its ended thread.
}

int Link::submit(int device, Run run, Abort abort, bool withdrawable) {
    auto w = this->device(device);
    if (!w || !w->alive()) return -1;
    auto r = std::make_shared<Request>();
    r->id = m_nextId.fetch_add(1);
    r->withdrawable = withdrawable;
    int id = r->id;
    r->run = [run = std::move(run), id](AtChannel& ch, DeviceState& st) { run(ch, st, id); };
    if (abort)
        r->abort = [abort = std::move(abort), id](const std::string& why) { abort(id, why); };
    return w->submit(r) ? id : -1;
}

int Link::submitToLeastBusy(Run run, Abort abort, bool withdrawable) {
    std::lock_guard sendLock(m_sendMutex);
    std::vector<std::shared_ptr<DeviceWorker>> devices;
    {
        std::lock_guard lock(m_mutex);
        if (!m_open) return -1;
        devices = m_devices;
    }
    const int n = static_cast<int>(devices.size());
    int best = -1, bestCount = 0;
    // Start after the device used last, so equals take turns.
    for (int k = 1; k <= n; ++k) {
        int i = (m_lastSendDevice + k - 1) % n;  // index of device m_lastSendDevice + k
        auto& w = devices[static_cast<std::size_t>(i)];
        if (!w->alive()) continue;
        int c = w->commandCount();
        if (best < 0 || c < bestCount) {
            best = i;
            bestCount = c;
        }
    }
    if (best < 0) return -1;
    int id = submit(best + 1, std::move(run), std::move(abort), withdrawable);
    if (id >= 0) m_lastSendDevice = best + 1;
    return id;
}

bool Link::cancel(int id) {
    std::vector<std::shared_ptr<DeviceWorker>> devices;
    {
        std::lock_guard lock(m_mutex);
        devices = m_devices;
    }
    for (auto& d : devices)
        if (d->cancel(id)) return true;
    return false;
}

}  // namespace modlink
