// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Clock.h"

#include <chrono>
#include <ctime>

namespace platform {

namespace {
// Howard Hinnant's days-from-civil, proleptic Gregorian.
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}
}  // namespace

int64_t localTimeToEpochMs(const LocalTime& t) {
    int64_t days =
        daysFromCivil(t.year, static_cast<unsigned>(t.month), static_cast<unsigned>(t.day));
    return ((days * 24 + t.hour) * 60 + t.minute) * 60000LL + t.second * 1000LL + t.millisecond;
}

LocalTime epochMsToLocalTime(int64_t ms, int utcOffsetMinutes) {
    int64_t days = ms >= 0 ? ms / 86400000 : -((-ms + 86399999) / 86400000);
    int64_t rem = ms - days * 86400000;
    int64_t z = days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t y = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    LocalTime t;
    t.year = static_cast<int>(y + (m <= 2));
    t.month = static_cast<int>(m);
    t.day = static_cast<int>(d);
    t.hour = static_cast<int>(rem / 3600000);
    t.minute = static_cast<int>(rem / 60000 % 60);
    t.second = static_cast<int>(rem / 1000 % 60);
    t.millisecond = static_cast<int>(rem % 1000);
    t.utcOffsetMinutes = utcOffsetMinutes;
    return t;
}

int64_t SystemClock::monotonicMs() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

LocalTime SystemClock::localNow() const {
    using namespace std::chrono;
    auto now = system_clock::now();
    std::time_t tt = system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&tt, &tm);
    LocalTime t;
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.day = tm.tm_mday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    t.second = tm.tm_sec;
    t.millisecond =
        static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    t.utcOffsetMinutes = static_cast<int>(tm.tm_gmtoff / 60);
    return t;
}

ManualClock::ManualClock() {
    LocalTime t;
    t.year = 2026;
    t.month = 12;
    t.day = 7;
    t.hour = 9;
    t.utcOffsetMinutes = 8 * 60;
    setLocal(t);
}

int64_t ManualClock::monotonicMs() const {
    std::lock_guard lk(m_mutex);
    return m_mono;
}

LocalTime ManualClock::localNow() const {
    std::lock_guard lk(m_mutex);
    return epochMsToLocalTime(m_epochMs, m_offset);
}

void ManualClock::setLocal(const LocalTime& t) {
    std::lock_guard lk(m_mutex);
    m_epochMs = localTimeToEpochMs(t);
    m_offset = t.utcOffsetMinutes;
}

void ManualClock::advance(int64_t ms) {
    std::lock_guard lk(m_mutex);
    m_mono += ms;
    m_epochMs += ms;
}

}  // namespace platform
