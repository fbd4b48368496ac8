// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <map>

#include "device/WindowMessages.h"
#include "platform/ManualMessageLoop.h"
#include "shell/Animations.h"
#include "shell/StatusBarModel.h"

using namespace msgdesk;

namespace {
struct Fixture {
    platform::ManualClock clock;
    StatusBarModel::MailboxCount count{};
    std::map<int, std::pair<int, int>> sims;
    std::pair<int, int> totals{0, 0};
    std::map<int, std::string> shown;
    int progress = -1;
    StatusBarModel model{
        clock,
        {[this] { return count; }, [this](int d) { return sims[d]; }, [this] { return totals; }},
        {[this](int p, const std::string& t) { shown[p] = t; }, [this](int p) { progress = p; }}};
};
}  // namespace

TEST(StatusBarModel, SignalOfDevice2Level17FillsBothPanes) {
    Fixture f;
    f.sims[2] = {30, 5};
    f.model.update(PANE_SIGNAL, 81);  // 2 * 32 + 17
    EXPECT_EQ(f.shown[PANE_SIGNAL], "Zunto[2]信号");
    EXPECT_EQ(f.shown[PANE_CAPACITY], "Zunto[2]:容量(30) 短信(5)");
    EXPECT_EQ(f.progress, 17);
}

TEST(StatusBarModel, DeviceZeroBlanksBothPanesAndTheBar) {
    Fixture f;
    f.model.update(PANE_SIGNAL, 81);
    f.model.update(PANE_SIGNAL, 0);
    EXPECT_EQ(f.shown[PANE_SIGNAL], " ");
    EXPECT_EQ(f.shown[PANE_CAPACITY], " ");
    EXPECT_EQ(f.progress, 0);
}

TEST(StatusBarModel, MailboxCountsByMailboxAndWelcome) {
    Fixture f;
    f.count = {true, 0, 12, 3};
    f.model.update(PANE_MAILBOX, 1);
    EXPECT_EQ(f.shown[PANE_MAILBOX], "收短信箱 (12条信息) / (3条新)");
    f.count = {true, 4, 7, 0};
    f.model.update(PANE_MAILBOX, 1);
    EXPECT_EQ(f.shown[PANE_MAILBOX], "已删除短信箱 (7条信息)");
    f.count = {false, 0, 0, 0};  // root selected: no list, no change
    f.model.update(PANE_MAILBOX, 1);
    EXPECT_EQ(f.shown[PANE_MAILBOX], "已删除短信箱 (7条信息)");
    f.model.update(PANE_MAILBOX, 2);
    EXPECT_EQ(f.shown[PANE_MAILBOX], " 欢迎使用KelvoZunto...");
}

TEST(StatusBarModel, SendResultTextStaysWhenBothCountsAreZero) {
    Fixture f;
    f.model.update(PANE_ACTIVITY, 1);
    EXPECT_EQ(f.shown[PANE_ACTIVITY], "正在发送短信息...");
    f.model.update(PANE_ACTIVITY, 2);
    EXPECT_EQ(f.shown[PANE_ACTIVITY], "正在发送短信息...");
    f.totals = {4, 1};
    f.model.update(PANE_ACTIVITY, 2);
    EXPECT_EQ(f.shown[PANE_ACTIVITY], "发送成功(4 条),失败(1 条)");
}

TEST(StatusBarModel, ReadingAndReceivedTexts) {
    Fixture f;
    platform::LocalTime t;
    t.year = 2026;
    t.month = 12;
    t.day = 7;
    t.hour = 9;
    t.minute = 5;
    f.clock.setLocal(t);
    f.model.update(PANE_ACTIVITY, 225);
    EXPECT_EQ(f.shown[PANE_ACTIVITY], "正在读取信息...");
    f.model.update(PANE_ACTIVITY, 226);
    EXPECT_EQ(f.shown[PANE_ACTIVITY], "收到新短信 (时间：9时5分)");
    f.model.update(PANE_ACTIVITY, 0);
    EXPECT_EQ(f.shown[PANE_ACTIVITY], " ");
    f.model.update(PANE_ACTIVITY, 77);  // unknown kind changes nothing
    EXPECT_EQ(f.shown[PANE_ACTIVITY], " ");
}

TEST(StatusBarModel, HiddenBarWritesNoTextButTheProgressMoves) {
    Fixture f;
    f.sims[1] = {30, 1};
    f.model.setVisible(false);
    f.model.update(PANE_SIGNAL, 32 + 9);
    f.model.update(PANE_ACTIVITY, 1);
    EXPECT_TRUE(f.shown.empty());
    EXPECT_EQ(f.progress, 9);
    f.model.setVisible(true);
    // Missed texts do not come back; the next update shows.
    EXPECT_TRUE(f.shown.empty());
    f.model.update(PANE_ACTIVITY, 225);
    EXPECT_EQ(f.shown[PANE_ACTIVITY], "正在读取信息...");
}

namespace {
struct Sink : platform::MessageTarget {
    std::vector<platform::Message> got;
    std::intptr_t onMessage(const platform::Message& m) override {
        got.push_back(m);
        return 0;
    }
};
struct TimerTarget : platform::MessageTarget {
    std::function<void(unsigned)> tick;
    std::intptr_t onMessage(const platform::Message&) override { return 0; }
    void onTimer(unsigned id) override { tick(id); }
};
}  // namespace

TEST(SendAnimation, CyclesIconsUntilTheBatchCompletes) {
    platform::ManualMessageLoop loop;
    TimerTarget frame;
    std::vector<int> icons;
    bool complete = false;
    int finished = 0;
    SendAnimation anim(loop, &frame,
                       {[&] { return complete; }, [] { return true; },
                        [&](int i) { icons.push_back(i); }, [&] { ++finished; }});
    frame.tick = [&](unsigned id) {
        if (id == TIMER_SEND_ANIMATION) anim.onTimer();
    };
    anim.start();
    loop.advance(3500);  // 7 ticks: 140..145 then 140 again
    EXPECT_EQ(icons, (std::vector<int>{140, 141, 142, 143, 144, 145, 140}));
    complete = true;
    loop.advance(500);
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(icons.back(), 140);
    EXPECT_FALSE(anim.running());
}

TEST(SendAnimation, StopsWhenTheLinkDrops) {
    platform::ManualMessageLoop loop;
    TimerTarget frame;
    bool link = true;
    int finished = 0;
    SendAnimation anim(
        loop, &frame,
        {[] { return false; }, [&] { return link; }, [](int) {}, [&] { ++finished; }});
    frame.tick = [&](unsigned) { anim.onTimer(); };
    anim.start();
    loop.advance(1000);
    link = false;
    loop.advance(500);
    EXPECT_FALSE(anim.running());
    EXPECT_EQ(finished, 1);
}

TEST(RingAnimation, WrapsAfter604AndStopShows600) {
    platform::ManualMessageLoop loop;
    TimerTarget view;
    std::vector<int> images;
    RingAnimation ring(loop, &view, [&](int i) { images.push_back(i); });
    view.tick = [&](unsigned id) {
        if (id == TIMER_RINGING) ring.onTimer();
    };
    ring.start();
    loop.advance(2500);
    EXPECT_EQ(images, (std::vector<int>{601, 602, 603, 604, 600}));
    ring.stop();
    EXPECT_EQ(images.back(), 600);
    EXPECT_FALSE(ring.running());
}
