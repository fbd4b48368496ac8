// SPDX-License-Identifier: LGPL-2.1-or-later
// Incoming calls whose caller gives up while it rings, on a modem that then
// just stops ringing and sends no NO CARRIER: the next call must still be
// announced, and the silent one reported as ended first.
#include <chrono>
#include <cstdlib>
#include <thread>

#include "ModlinkFixture.h"

namespace {

// One modem; a ring gap short enough for tests.
class RingGapFixture : public ModlinkFixture {
protected:
    virtual int ringGapMs() const { return 300; }
    int simDevices() const override { return 1; }

    void SetUp() override {
        ::setenv("MODLINK_RING_GAP_MS", std::to_string(ringGapMs()).c_str(), 1);
        ModlinkFixture::SetUp();
    }
    void TearDown() override {
        ModlinkFixture::TearDown();
        ::unsetenv("MODLINK_RING_GAP_MS");
    }

    void ring(const std::string& caller) {
        ASSERT_EQ(sim->control("unsolicited 1 RING"), "OK");
        if (!caller.empty()) {
            ASSERT_EQ(sim->control("unsolicited 1 +CLIP: \"" + caller + "\",129"), "OK");
        }
    }

    // Calls announced and ended so far, in order: "769:caller" or "774".
    std::vector<std::string> callEvents() {
        std::vector<std::string> out;
        for (const auto& e : events.all({MODLINK_EV_INCOMING_CALL, MODLINK_EV_CALL_ENDED}))
            out.push_back(e.code == MODLINK_EV_CALL_ENDED ? "774"
                                                          : "769:" + EventRecorder::text(e));
        return out;
    }
};

// Rings every 200 ms: well inside a one-second gap even on a busy machine.
class SlowRingGapFixture : public RingGapFixture {
protected:
    int ringGapMs() const override { return 1000; }
};

void pause(int ms) {
    // The gap is wall-clock time inside the library: it has to pass for real.
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace

TEST_F(RingGapFixture, CallerWhoStopsRingingIsEndedWhenTheNextCallRings) {
    ring("13912345678");
    ASSERT_TRUE(EventRecorder::waitUntil([&] { return callEvents().size() == 1; }));
    pause(500);
    ring("10086");
    ASSERT_TRUE(EventRecorder::waitUntil([&] { return callEvents().size() == 3; }));
    EXPECT_EQ(callEvents(), (std::vector<std::string>{"769:13912345678", "774", "769:10086"}));
    auto ended = events.all(MODLINK_EV_CALL_ENDED);
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_FALSE(ended[0].text.has_value());
    EXPECT_EQ(ended[0].param, 1);

    // The second call is tracked as usual: NO CARRIER ends it once.
    ASSERT_EQ(sim->control("unsolicited 1 NO CARRIER"), "OK");
    ASSERT_TRUE(EventRecorder::waitUntil([&] { return callEvents().size() == 4; }));
    EXPECT_EQ(callEvents().back(), "774");

    // A call without caller id (announced at its second RING) is ended the
    // same way by the next one.
    ring("");
    ring("");
    ASSERT_TRUE(EventRecorder::waitUntil([&] { return callEvents().size() == 5; }));
    EXPECT_EQ(callEvents().back(), "769:");
    pause(500);
    ring("13800138000");
    ASSERT_TRUE(EventRecorder::waitUntil([&] { return callEvents().size() == 7; }));
    EXPECT_EQ(callEvents(), (std::vector<std::string>{"769:13912345678", "774", "769:10086", "774",
                                                      "769:", "774", "769:13800138000"}));
}

TEST_F(SlowRingGapFixture, CallThatKeepsRingingIsAnnouncedOnce) {
    // Eight rings 200 ms apart: longer in all than the gap, never a gap.
    for (int i = 0; i < 8; ++i) {
        ring("13912345678");
        pause(200);
    }
    ASSERT_TRUE(EventRecorder::waitUntil([&] { return !callEvents().empty(); }));
    EXPECT_FALSE(events.take(MODLINK_EV_CALL_ENDED, 1, 300).has_value());
    EXPECT_EQ(callEvents(), (std::vector<std::string>{"769:13912345678"}));
}

TEST_F(RingGapFixture, AnsweredCallIsNotEndedByALaterRing) {
    ASSERT_EQ(sim->control("call 1 13912345678"), "OK");
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_INCOMING_CALL, 1)), "13912345678");
    ASSERT_EQ(BeginPhone(1), 0);
    int id = AttachPhone(1);
    ASSERT_GE(id, 0);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_ATTACH, id)), "OK");
    pause(500);
    // A waiting call rings during the answered one: nothing ends.
    ring("");
    EXPECT_FALSE(events.take(MODLINK_EV_CALL_ENDED, 1, 500).has_value());
    id = UnattachPhone(1);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_UNATTACH, id)), "OK");
    EXPECT_TRUE(events.all(MODLINK_EV_CALL_ENDED).empty());
}
