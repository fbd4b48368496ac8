// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/ManualMessageLoop.h"

using namespace platform;

namespace {
struct Recorder : MessageTarget {
    std::vector<std::pair<int64_t, unsigned>> ticks;  // (time, timer id)
    std::vector<Message> messages;
    ManualMessageLoop* loop = nullptr;
    std::function<void(unsigned)> onTick;
    std::intptr_t onMessage(const Message& m) override {
        messages.push_back(m);
        return static_cast<std::intptr_t>(m.msg) + 1;
    }
    void onTimer(unsigned id) override {
        ticks.emplace_back(loop->clock().monotonicMs(), id);
        if (onTick) onTick(id);
    }
};
}  // namespace

TEST(ManualMessageLoop, PeriodicAndOneShotTimersFireInDueOrder) {
    ManualMessageLoop loop;
    Recorder r;
    r.loop = &loop;
    loop.setTimer(&r, 101, 6000);
    loop.setTimer(&r, 107, 5000);
    loop.setTimer(&r, 104, 500);
    // 104 acts as a one-shot: it kills itself in its own handler.
    r.onTick = [&](unsigned id) {
        if (id == 104) loop.killTimer(&r, 104);
    };
    loop.advance(12000);
    std::vector<std::pair<int64_t, unsigned>> want = {
        {500, 104}, {5000, 107}, {6000, 101}, {10000, 107}, {12000, 101}};
    EXPECT_EQ(r.ticks, want);
    EXPECT_FALSE(loop.timerActive(&r, 104));
    EXPECT_TRUE(loop.timerActive(&r, 101));
    EXPECT_EQ(loop.clock().monotonicMs(), 12000);
}

TEST(ManualMessageLoop, RearmingRestartsThePeriodFromNow) {
    ManualMessageLoop loop;
    Recorder r;
    r.loop = &loop;
    loop.setTimer(&r, 1, 3000);
    loop.advance(2000);
    loop.setTimer(&r, 1, 3000);  // a selection change restarts the 3 s mark
    loop.advance(2999);
    EXPECT_TRUE(r.ticks.empty());
    loop.advance(1);
    ASSERT_EQ(r.ticks.size(), 1u);
    EXPECT_EQ(r.ticks[0].first, 5000);
}

TEST(ManualMessageLoop, TimerRearmedInsideItsHandlerKeepsNewPeriod) {
    ManualMessageLoop loop;
    Recorder r;
    r.loop = &loop;
    loop.setTimer(&r, 7, 100);
    r.onTick = [&](unsigned) { loop.setTimer(&r, 7, 1000); };
    loop.advance(2100);
    std::vector<int64_t> at;
    for (auto& t : r.ticks) at.push_back(t.first);
    EXPECT_EQ(at, (std::vector<int64_t>{100, 1100, 2100}));
}

TEST(ManualMessageLoop, SendRunsAtOncePostWaitsForTheLoop) {
    ManualMessageLoop loop;
    Recorder r;
    EXPECT_EQ(loop.send(&r, 1126, 50010, 1), 1127);
    ASSERT_EQ(r.messages.size(), 1u);
    loop.post(&r, 1135);
    EXPECT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(loop.runUntilIdle(), 1);
    EXPECT_EQ(r.messages.back().msg, 1135u);
}

TEST(ManualMessageLoop, ForgetDropsQueuedMessagesAndTimersAndFreesPayload) {
    ManualMessageLoop loop;
    Recorder r, other;
    auto payload = std::make_shared<int>(5);
    std::weak_ptr<int> watch = payload;
    loop.post(&r, Message{1, 0, 0, std::move(payload)});
    loop.post(&other, 2);
    loop.setTimer(&r, 3, 10);
    loop.forget(&r);
    loop.advance(100);
    EXPECT_TRUE(r.messages.empty());
    EXPECT_TRUE(r.ticks.empty());
    EXPECT_EQ(other.messages.size(), 1u);
    EXPECT_TRUE(watch.expired());
}

TEST(ManualMessageLoop, PostsFromEightThreadsAreAllDeliveredInPerThreadOrder) {
    ManualMessageLoop loop;
    Recorder r;
    constexpr int kThreads = 8, kEach = 5000;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i) loop.post(&r, 1000, static_cast<WPARAM>(t), i);
        });
    for (auto& th : threads) th.join();
    loop.runUntilIdle();
    ASSERT_EQ(r.messages.size(), static_cast<size_t>(kThreads * kEach));
    std::vector<LPARAM> next(kThreads, 0);
    for (auto& m : r.messages) {
        ASSERT_EQ(m.lParam, next[m.wParam]) << "thread " << m.wParam << " out of order";
        ++next[m.wParam];
    }
}

TEST(ManualClock, WallTimeAdvancesAcrossMidnight) {
    ManualClock c;
    LocalTime t;
    t.year = 2003;
    t.month = 12;
    t.day = 31;
    t.hour = 23;
    t.minute = 59;
    t.second = 50;
    t.utcOffsetMinutes = 480;
    c.setLocal(t);
    c.advance(20000);
    LocalTime n = c.localNow();
    EXPECT_EQ(n.year, 2004);
    EXPECT_EQ(n.month, 1);
    EXPECT_EQ(n.day, 1);
    EXPECT_EQ(n.hour, 0);
    EXPECT_EQ(n.minute, 0);
    EXPECT_EQ(n.second, 10);
    EXPECT_EQ(n.utcOffsetMinutes, 480);
}

TEST(ManualClock, LeapDayRoundTrips) {
    LocalTime t;
    t.year = 2024;
    t.month = 2;
    t.day = 29;
    t.hour = 13;
    LocalTime back = epochMsToLocalTime(localTimeToEpochMs(t), 0);
    EXPECT_EQ(back.year, 2024);
    EXPECT_EQ(back.month, 2);
    EXPECT_EQ(back.day, 29);
    EXPECT_EQ(back.hour, 13);
}
