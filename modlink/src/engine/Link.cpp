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
    resetManagerRefusals();
    std::vector<Candidate> ports;
    std::vector<UnusedPort> unused;
    if (int rc = openPorts(ports, unused); rc != 0) return rc;
    if (ports.size() > kMaxDevices) ports.resize(kMaxDevices);

    std::vector<RouterSetup> setups;
    {
        std::lock_guard lock(m_mutex);
        setups = m_routerSetups;
    }
    // Set the modems up in parallel: a silent port costs its time-out once.
    std::vector<std::shared_ptr<DeviceWorker>> workers;
    std::vector<std::future<bool>> results;
    for (auto& c : ports) {
        auto w = std::make_shared<DeviceWorker>(static_cast<int>(workers.size()) + 1,
                                                std::move(c.transport));
        w->setOrigin(std::move(c.origin));
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
    m_unused = std::move(unused);
    m_open = true;
    for (auto& d : m_devices) Trace::instance().note(d->device(), "attached " + d->portName());
    return 0;
}

std::vector<UnusedPort> Link::unusedPorts() const {
    std::lock_guard lock(m_mutex);
    return m_unused;
}

int Link::openPorts(std::vector<Candidate>& ports, std::vector<UnusedPort>& unused) {
    auto fail = [&](const std::string& port, const std::string& why) {
        Trace::instance().note(0, "cannot open " + port + ": " + why);
        return 1;
    };
    std::vector<std::string> attachedReal;
    std::vector<UsbSerialPort> usbPorts;
    if (usbDiscoveryEnabled()) {
        auto table = platform::usb::ModemTable::loadDefault();
        for (const auto& e : table.errors()) Trace::instance().note(0, "modem table: " + e);
        const auto* zunto = table.find(kZuntoVendor, kZuntoProduct);
        std::vector<std::string> zuntoDevices;
        for (const auto& modem : findUsbModems()) {
            zuntoDevices.push_back(modem.usbPath);
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
            attachedReal.push_back(realPortPath(chosen->name()));
            ports.push_back({std::move(chosen),
                             {"table", kZuntoVendor, kZuntoProduct, modem.usbPath,
                              zunto ? zunto->name : "Zunto"}});
        }
        usbPorts = listUsbSerialPorts();
        auto plan = planPorts(usbPorts, table, zuntoDevices);
        unused = plan.unused;
        for (const auto& modem : plan.modems) {
            // ModemManager lets go of the modem before a port is opened; a
            // refusal is told as a port held by another program is.
            if (!takeFromModemManager(FoundModem{modem.usbPath, modem.candidates}))
                return fail(modem.usbPath, "ModemManager keeps the modem");
            std::unique_ptr<Transport> chosen;
            std::string busy;
            for (const auto& port : modem.candidates) {
                if (chosen) {
                    unused.push_back({port, modem.vendor, modem.product,
                                      "another AT port of " + modem.name + " is used"});
                    continue;
                }
                OpenError err;
                std::string detail;
                auto t = openTransport(port, err, detail);
                if (!t) {
                    if (err == OpenError::Busy) busy = port + ": " + detail;
                    unused.push_back({port, modem.vendor, modem.product, "cannot open: " + detail});
                    continue;
                }
                if (probeAt(*t, 700)) {
                    chosen = std::move(t);
                } else {
                    unused.push_back({port, modem.vendor, modem.product, "no answer to AT"});
                }
            }
            if (!chosen) {
                // Held by a dial-up or another program: as for the Zunto modem.
                if (!busy.empty()) return fail(modem.usbPath, busy);
                Trace::instance().note(
                    0, modem.name + " at " + modem.usbPath + ": no port answers AT");
                continue;
            }
            attachedReal.push_back(realPortPath(chosen->name()));
            ports.push_back({std::move(chosen),
                             {"table", modem.vendor, modem.product, modem.usbPath, modem.name}});
        }
    }
    for (const auto& port : configuredPorts()) {
        std::string real = realPortPath(port);
        if (std::find(attachedReal.begin(), attachedReal.end(), real) != attachedReal.end()) {
            Trace::instance().note(0, port + " is attached already");
            continue;
        }
        OpenError err;
        std::string detail;
        auto t = openTransport(port, err, detail);
        if (!t) return fail(port, detail);
        attachedReal.push_back(real);
        PortOrigin origin{"named", 0, 0, "", ""};
        // A named USB port: the user took it off the unused list.
        for (const auto& u : usbPorts) {
            if (realPortPath(u.path) != real) continue;
            origin.vendor = u.vendor;
            origin.product = u.product;
            origin.usbPath = u.usbPath;
        }
        unused.erase(
            std::remove_if(unused.begin(), unused.end(),
                           [&](const UnusedPort& u) { return realPortPath(u.path) == real; }),
            unused.end());
        ports.push_back({std::move(t), std::move(origin)});
    }
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

int Link::submit(int device, Run run, Abort abort, bool withdrawable, bool whileLocked) {
    auto w = this->device(device);
    if (!w || !w->alive()) return -1;
    auto r = std::make_shared<Request>();
    r->id = m_nextId.fetch_add(1);
    r->withdrawable = withdrawable;
    r->whileLocked = whileLocked;
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
        // A locked SIM sends nothing until it is unlocked.
        if (!w->alive() || w->simLocked()) continue;
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
