// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstddef>
#include <functional>
#include <vector>

#include "platform/MessageLoop.h"

namespace msgdesk {

// Requests that a faulty modem keeps failing (a read, a SIM size query, a
// deletion) are made again from the window thread after a growing pause
// (1 s, 2 s, 4 s ... at most 60 s), each request on its own schedule, and
// given up after kMaxRetries, so one bad SIM position or a locked SIM can no
// longer flood its modem. One timer ticks four times a second while anything
// waits and stops when nothing does. Window thread only.
class RetryQueue final {
public:
    // Makes the request again; failures is how often it has failed so far,
    // to be kept with the request so its next failure counts on. True when
    // the request is on its way (its answer decides what follows), false
    // when it was refused at once, which counts as one more failure.
    using Attempt = std::function<bool(int failures)>;

    static constexpr int kMaxRetries = 10;
    static constexpr unsigned kTickMs = 250;
    static constexpr unsigned kMaxPauseMs = 60000;

    RetryQueue(platform::MessageLoop& loop, platform::MessageTarget* timerTarget, unsigned timerId);

    // Schedules the next attempt of a request that has failed `failures`
    // times (1 after its first failure); device (1..16, or +16 for requests
    // made for the SIM listing) lets a removal drop it. False, and nothing
    // scheduled, once the request has been retried kMaxRetries times.
    bool schedule(int device, int failures, Attempt attempt);
    // The timer's tick: runs the attempts that are due.
    void onTick();
    // A device went away: its requests (device and device + 16) are dropped.
    void dropDevice(int device);
    void clear();
    std::size_t size() const { return m_waiting.size(); }
    // The pause before retry number `failures`: 1 s doubled per failure, at
    // most 60 s.
    static unsigned pauseMs(int failures);

private:
    struct Waiting {
        int device;
        int failures;
        unsigned ticksLeft;
        Attempt attempt;
    };

    platform::MessageLoop& m_loop;
    platform::MessageTarget* m_target;
    unsigned m_timerId;
    std::vector<Waiting> m_waiting;
    bool m_inTick = false;
};

}  // namespace msgdesk
