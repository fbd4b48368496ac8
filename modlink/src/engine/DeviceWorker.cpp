// SPDX-License-Identifier: LGPL-2.1-or-later
#include "DeviceWorker.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <future>

#include "EventSink.h"
#include "ModemSetup.h"
#include "Trace.h"

namespace modlink {

DeviceWorker::DeviceWorker(int device, std::unique_ptr<Transport> transport)
    : m_device(device), m_portName(transport->name()) {
    m_wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    m_channel =
        std::make_unique<AtChannel>(std::move(transport), m_router, m_wakeFd, m_stop, m_device);
    m_router.setFallback([this](const std::vector<std::string>& lines) {
        Trace::instance().note(this->device(), "unsolicited: " + lines.front());
    });
}

DeviceWorker::~DeviceWorker() {
    stop();
    if (m_thread.joinable()) {
        // The last owner may be the worker itself (a callback's reference).
        if (onWorkerThread())
            m_thread.detach();
        else
            m_thread.join();
    }
    m_channel.reset();
    if (m_wakeFd >= 0) ::close(m_wakeFd);
}

bool DeviceWorker::start(Setup setup) {
    std::promise<bool> started;
    auto result = started.get_future();
    m_thread = std::thread(&DeviceWorker::main, this, std::move(setup), &started);
    bool ok = result.get();
    if (!ok && m_thread.joinable()) m_thread.join();
    return ok;
}

void DeviceWorker::noteSimState() {
    std::lock_guard lock(m_mutex);
    m_simStateText = modlink::simStateText(m_state);
    m_simLocked = !m_state.simLock.empty();
}

std::string DeviceWorker::simStateText() const {
    std::lock_guard lock(m_mutex);
    return m_simStateText;
}

void DeviceWorker::stop() {
    m_stop = true;
    wake();
}

bool DeviceWorker::finished() const {
    std::lock_guard lock(m_mutex);
    return m_finished;
}

void DeviceWorker::wake() {
    std::uint64_t one = 1;
    [[maybe_unused]] auto r = ::write(m_wakeFd, &one, sizeof one);
}

bool DeviceWorker::submit(std::shared_ptr<Request> request) {
    {
        std::lock_guard lock(m_mutex);
        if (!m_alive || m_stop || m_queue.size() >= kMaxQueue) return false;
        m_queue.push_back(std::move(request));
    }
    wake();
    return true;
}

bool DeviceWorker::cancel(int id) {
    std::lock_guard lock(m_mutex);
    for (auto it = m_queue.begin(); it != m_queue.end(); ++it) {
        if ((*it)->id == id && (*it)->withdrawable) {
            m_queue.erase(it);
            return true;
        }
    }
    return false;
}

int DeviceWorker::commandCount() const {
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_queue.size()) + (m_running ? 1 : 0);
}

void DeviceWorker::main(Setup setup, std::promise<bool>* started) {
    bool ok = setup(*m_channel, m_state) && m_channel->alive();
    noteSimState();
    m_alive = ok;
    started->set_value(ok);
    if (ok) serve();
    // Every request that was accepted gets its answer, also at a close.
    if (m_stop) answerQueued("ERROR: link closed");
    std::lock_guard lock(m_mutex);
    if (m_stop) m_channel.reset();  // closes the port now, before close() returns
    m_finished = true;
    m_finishedCv.notify_all();
}

bool DeviceWorker::waitFinished(int timeoutMs) {
    std::unique_lock lock(m_mutex);
    return m_finishedCv.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                 [&] { return m_finished; });
}

void DeviceWorker::serve() {
    for (;;) {
        std::shared_ptr<Request> next;
        {
            std::lock_guard lock(m_mutex);
            if (m_stop) break;
            if (!m_queue.empty()) {
                next = std::move(m_queue.front());
                m_queue.pop_front();
                m_running = true;
            }
        }
        if (next && !next->whileLocked && !m_state.simLock.empty()) {
            // Answered at once: the modem would refuse it, or time out.
            if (next->abort) next->abort("ERROR: " + m_state.simLock);
            std::lock_guard lock(m_mutex);
            m_running = false;
        } else if (next) {
            next->run(*m_channel, m_state);
            noteSimState();
            std::lock_guard lock(m_mutex);
            m_running = false;
        } else {
            m_channel->waitIdle();
        }
        if (!m_channel->alive()) {
            if (!m_stop) unplugged();
            break;
        }
    }
}

void DeviceWorker::unplugged() {
    {
        std::lock_guard lock(m_mutex);
        m_alive = false;
    }
    Trace::instance().note(device(), "device unplugged");
    EventSink::instance().emit(MODLINK_EV_UNPLUGGED, std::nullopt, device());
    answerQueued("ERROR: device unplugged");
}

void DeviceWorker::answerQueued(const std::string& why) {
    std::deque<std::shared_ptr<Request>> left;
    {
        std::lock_guard lock(m_mutex);
        m_alive = false;  // refuses what comes now
        left.swap(m_queue);
    }
    for (auto& r : left)
        if (r->abort) r->abort(why);
}

}  // namespace modlink
