// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ManualMessageLoop.h"

#include <limits>

namespace platform {

ManualMessageLoop::ManualMessageLoop() = default;

void ManualMessageLoop::post(MessageTarget* target, Message m) {
    std::lock_guard lk(m_mutex);
    m_queue.emplace_back(target, std::move(m));
}

std::intptr_t ManualMessageLoop::send(MessageTarget* target, const Message& m) {
    return target ? target->onMessage(m) : 0;
}

void ManualMessageLoop::setTimer(MessageTarget* target, unsigned id, unsigned periodMs) {
    std::lock_guard lk(m_mutex);
    m_timers[{target, id}] = Timer{periodMs, m_clock.monotonicMs() + periodMs, ++m_seq};
}

void ManualMessageLoop::killTimer(MessageTarget* target, unsigned id) {
    std::lock_guard lk(m_mutex);
    m_timers.erase({target, id});
}

bool ManualMessageLoop::timerActive(MessageTarget* target, unsigned id) const {
    std::lock_guard lk(m_mutex);
    return m_timers.count({target, id}) != 0;
}

void ManualMessageLoop::forget(MessageTarget* target) {
    std::lock_guard lk(m_mutex);
    for (auto it = m_queue.begin(); it != m_queue.end();)
        it = it->first == target ? m_queue.erase(it) : it + 1;
    for (auto it = m_timers.begin(); it != m_timers.end();)
        it = it->first.first == target ? m_timers.erase(it) : std::next(it);
}

size_t ManualMessageLoop::queued() const {
    std::lock_guard lk(m_mutex);
    return m_queue.size();
}

int ManualMessageLoop::runUntilIdle() {
    int n = 0;
    for (;;) {
        std::pair<MessageTarget*, Message> item;
        {
            std::lock_guard lk(m_mutex);
            if (m_queue.empty()) return n;
            item = std::move(m_queue.front());
            m_queue.pop_front();
        }
        if (item.first) item.first->onMessage(item.second);
        ++n;
    }
}

void ManualMessageLoop::advance(int64_t ms) {
    runUntilIdle();
    const int64_t end = m_clock.monotonicMs() + ms;
    for (;;) {
        Key key{};
        bool found = false;
        int64_t due = std::numeric_limits<int64_t>::max();
        uint64_t seq = 0;
        {
            std::lock_guard lk(m_mutex);
            for (auto& [k, t] : m_timers) {
                if (t.due <= end && (t.due < due || (t.due == due && t.seq < seq))) {
                    key = k;
                    due = t.due;
                    seq = t.seq;
                    found = true;
                }
            }
            if (!found) break;
            // Re-arm before the handler runs, so the handler may kill or
            // re-arm its own timer.
            auto& t = m_timers[key];
            t.due += t.period ? t.period : 1;
            t.seq = ++m_seq;
        }
        int64_t now = m_clock.monotonicMs();
        if (due > now) m_clock.advance(due - now);
        key.first->onTimer(key.second);
        runUntilIdle();
    }
    int64_t now = m_clock.monotonicMs();
    if (end > now) m_clock.advance(end - now);
    runUntilIdle();
}

}  // namespace platform
