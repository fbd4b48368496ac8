// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/RetryQueue.h"

#include <algorithm>

namespace msgdesk {

RetryQueue::RetryQueue(platform::MessageLoop& loop, platform::MessageTarget* timerTarget,
                       unsigned timerId)
    : m_loop(loop), m_target(timerTarget), m_timerId(timerId) {}

unsigned RetryQueue::pauseMs(int failures) {
    if (failures < 1) failures = 1;
    if (failures > 7) return kMaxPauseMs;  // 2^6 s is already above the cap
    return std::min(1000u << (failures - 1), kMaxPauseMs);
}

bool RetryQueue::schedule(int device, int failures, Attempt attempt) {
    if (failures > kMaxRetries || !attempt) return false;
    unsigned ticks = (pauseMs(failures) + kTickMs - 1) / kTickMs;
    // A running timer ticks within one period (exactly one from inside a
    // tick); one tick more keeps the pause at least as long as promised.
    if (!m_loop.timerActive(m_target, m_timerId))
        m_loop.setTimer(m_target, m_timerId, kTickMs);
    else if (!m_inTick)
        ++ticks;
    m_waiting.push_back(Waiting{device, failures, ticks, std::move(attempt)});
    return true;
}

void RetryQueue::onTick() {
    std::vector<Waiting> due;
    for (auto it = m_waiting.begin(); it != m_waiting.end();) {
        if (--it->ticksLeft == 0) {
            due.push_back(std::move(*it));
            it = m_waiting.erase(it);
        } else {
            ++it;
        }
    }
    // Attempts may schedule again (a refusal, or a handler that fails at
    // once), so they run after the list is settled.
    m_inTick = true;
    for (auto& w : due)
        if (!w.attempt(w.failures)) schedule(w.device, w.failures + 1, std::move(w.attempt));
    m_inTick = false;
    if (m_waiting.empty()) m_loop.killTimer(m_target, m_timerId);
}

void RetryQueue::dropDevice(int device) {
    std::erase_if(m_waiting, [device](const Waiting& w) {
        return w.device == device || w.device == device + 16;
    });
    if (m_waiting.empty()) m_loop.killTimer(m_target, m_timerId);
}

void RetryQueue::clear() {
    m_waiting.clear();
    m_loop.killTimer(m_target, m_timerId);
}

}  // namespace msgdesk
