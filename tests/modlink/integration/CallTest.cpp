// SPDX-License-Identifier: LGPL-2.1-or-later
// Voice calls end to end: an incoming call answered, tones, volume and
// hang-up; an outgoing call walking to active; the far end hanging up.
#include <thread>

#include "ModlinkFixture.h"

namespace {

std::string status(SimProcess& sim, int device) {
    return sim.control("status " + std::to_string(device));
}

}  // namespace

TEST_F(ModlinkFixture, IncomingCallIsAnsweredTonedAndHungUp) {
    ASSERT_EQ(sim->control("call 1 13912345678"), "OK");
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_INCOMING_CALL, 1)), "13912345678");
    // It rings again (every second), but is announced once.
    EXPECT_FALSE(events.take(MODLINK_EV_INCOMING_CALL, 1, 1300).has_value());
    int id = QureyPhoneStatus(1);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_CALL_STATUS, id)), "\"4\"");
    EXPECT_EQ(BeginPhone(1), 0);
    id = AttachPhone(1);
    ASSERT_GE(id, 0);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_ATTACH, id)), "OK");
    id = QureyPhoneStatus(1);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_CALL_STATUS, id)), "\"0\"");
    id = DialExt(1, "5");
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_DIAL_EXT, id)), "OK");
    id = DialExt(1, "#");
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_DIAL_EXT, id)), "OK");
    EXPECT_NE(status(*sim, 1).find("tones=5#"), std::string::npos) << status(*sim, 1);
    EXPECT_EQ(DialExt(1, "x"), -1);
    // 10..90 spread over the modem's 0..5; 0 and 100, the ends of the
    // accepted range, are taken as 10 and 90.
    for (auto [level, volume] : {std::pair{90, "volume=5"},
                                 {10, "volume=0"},
                                 {50, "volume=3"},
                                 {0, "volume=0"},
                                 {100, "volume=5"}}) {
        id = SetVolume(1, level);
        EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_VOLUME, id)), "OK");
        EXPECT_NE(status(*sim, 1).find(volume), std::string::npos) << level;
    }
    id = UnattachPhone(1);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_UNATTACH, id)), "OK");
    EXPECT_EQ(EndPhone(1), 0);
    id = QureyPhoneStatus(1);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_CALL_STATUS, id)), "OK");
    // Our own hang-up is answered by 772, not reported as the far end's.
    EXPECT_TRUE(events.all(MODLINK_EV_CALL_ENDED).empty());
    // Tones need a call.
    id = DialExt(1, "1");
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_DIAL_EXT, id)), "ERROR: +CME ERROR: 3");
    // The next call is announced again, here without a caller id.
    ASSERT_EQ(sim->control("call 1 -"), "OK");
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_INCOMING_CALL, 1)), "");
}

TEST_F(ModlinkFixture, OutgoingCallWalksToActiveAndTheFarEndHangsUp) {
    int id = DialUp(2, "+8610086");
    ASSERT_GE(id, 0);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_DIAL, id)), "OK");
    // The status walks dialling (2) -> alerting (3) -> active (0).
    std::string seen;
    for (int i = 0; i < 100 && seen.find('0') == std::string::npos; ++i) {
        id = QureyPhoneStatus(2);
        std::string t = EventRecorder::text(events.take(MODLINK_EV_CALL_STATUS, id));
        ASSERT_EQ(t.size(), 3u) << t;
        if (seen.empty() || seen.back() != t[1]) seen += t[1];
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(seen, "230");
    // Dialling while a call is up is refused by the modem.
    id = DialUp(2, "10010");
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_DIAL, id)), "ERROR: +CME ERROR: 3");
    ASSERT_EQ(sim->control("hangup 2"), "OK");
    auto ended = events.take(MODLINK_EV_CALL_ENDED, 2);
    ASSERT_TRUE(ended.has_value());
    EXPECT_FALSE(ended->text.has_value());
    id = QureyPhoneStatus(2);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_CALL_STATUS, id)), "OK");
    // A caller who gives up before the answer ends the call too.
    ASSERT_EQ(sim->control("call 2 10086"), "OK");
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_INCOMING_CALL, 2)), "10086");
    ASSERT_EQ(sim->control("hangup 2"), "OK");
    EXPECT_TRUE(events.take(MODLINK_EV_CALL_ENDED, 2).has_value());
    // Answering a call that is gone fails.
    id = AttachPhone(2);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_ATTACH, id)), "ERROR: NO CARRIER");
    EXPECT_EQ(DialUp(2, "100\"86"), -1);
    EXPECT_EQ(BeginPhone(7), -1);
    EXPECT_EQ(SetVolume(2, 101), -1);
    EXPECT_EQ(SetVolume(2, -1), -1);
}

TEST_F(ModlinkFixture, FarEndAnswersAnOutgoingCallAtOnce) {
    int id = DialUp(1, "10086");
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_DIAL, id)), "OK");
    ASSERT_EQ(sim->control("answer 1"), "OK");
    id = QureyPhoneStatus(1);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_CALL_STATUS, id)), "\"0\"");
    id = UnattachPhone(1);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_UNATTACH, id)), "OK");
    EXPECT_NE(status(*sim, 1).find("call=none"), std::string::npos);
}
