// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <deque>
#include <map>
#include <mutex>
#include <utility>

#include "platform/Clock.h"
#include "platform/MessageLoop.h"

namespace platform {

// The message loop of tests: nothing happens until the test says so, and
// time is virtual. runUntilIdle() delivers queued messages; advance(ms) moves
// the clock, firing every timer that falls due on the way, in due order.
class ManualMessageLoop final : public MessageLoop {
public:
    ManualMessageLoop();

    void post(MessageTarget* target, Message m) override;
    std::intptr_t send(MessageTarget* target, const Message& m) override;
    void setTimer(MessageTarget* target, unsigned id, unsigned periodMs) override;
    void killTimer(MessageTarget* target, unsigned id) override;
    bool timerActive(MessageTarget* target, unsigned id) const override;
    void forget(MessageTarget* target) override;
    using MessageLoop::post;
    using MessageLoop::send;

    // Delivers messages until the queue is empty; returns how many ran.
    int runUntilIdle();
    // Advances virtual time by ms, firing due timers and delivering messages.
    void advance(int64_t ms);
    size_t queued() const;

    ManualClock& clock() { return m_clock; }
    const ManualClock& clock() const { return m_clock; }

private:
    struct Timer {
        unsigned period;
        int64_t due;
        uint64_t seq;  // ties fire in the order they were armed
    };
    using Key = std::pair<MessageTarget*, unsigned>;

    mutable std::mutex m_mutex;
    std::deque<std::pair<MessageTarget*, Message>> m_queue;
    std::map<Key, Timer> m_timers;
    uint64_t m_seq = 0;
    ManualClock m_clock;
};

}  // namespace platform
