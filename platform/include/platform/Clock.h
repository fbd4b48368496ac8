// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <mutex>

namespace platform {

// Broken-down local wall time, with the offset of the time zone in effect.
struct LocalTime {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    int utcOffsetMinutes = 0;
};

// Monotonic time for timers and wall time for stamps. Core code asks this,
// never the C library, so tests can set both.
class Clock {
public:
    virtual ~Clock() = default;
    virtual int64_t monotonicMs() const = 0;
    virtual LocalTime localNow() const = 0;
};

class SystemClock final : public Clock {
public:
    int64_t monotonicMs() const override;
    LocalTime localNow() const override;
};

// A clock that moves only when told to. Wall time advances together with
// monotonic time, so a call that starts at 23:59:50 ends at 00:00:10.
class ManualClock final : public Clock {
public:
    ManualClock();
    int64_t monotonicMs() const override;
    LocalTime localNow() const override;
    void setLocal(const LocalTime& t);
    void advance(int64_t ms);

private:
    mutable std::mutex m_mutex;
    int64_t m_mono = 0;
    int64_t m_epochMs = 0;  // local wall time as ms since 1970-01-01 local midnight
    int m_offset = 0;
};

// Days-from-civil helpers shared by the clocks and by stamp arithmetic.
int64_t localTimeToEpochMs(const LocalTime& t);
LocalTime epochMsToLocalTime(int64_t ms, int utcOffsetMinutes);

}  // namespace platform
