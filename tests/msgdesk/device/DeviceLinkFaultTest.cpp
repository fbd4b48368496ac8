// SPDX-License-Identifier: GPL-3.0-or-later
// The device link against modems that fail: a centre that is never read,
// batches cut off by a disconnect or a removal, stray unplug notices, bogus
// SIM sizes.
#include "msgdesk/device/DeviceLinkFixture.h"
#include "res/StringTable.h"

namespace msgdesk::test {
namespace {

class Faults : public DeviceLinkTest {
protected:
    int centreAsks(int device) {
        int n = 0;
        for (auto& c : lib.calls(Op::GetGSMCenter)) n += c.a == device;
        return n;
    }
    int lastCentreId(int device) {
        int id = -1;
        for (auto& c : lib.calls(Op::GetGSMCenter))
            if (c.a == device) id = c.result;
        return id;
    }
    // Connects two devices; device 1 tells its centre at once, device 2
    // answers `answer2` (null: never) to every ask.
    void connectWithSilentCentre(const char* answer2) {
        make();
        lib.setDeviceCount(2);
        link->connect();
        loop.runUntilIdle();
        loop.advance(5000);
        lib.fire(258, "+8613800100500", lastCentreId(1));
        if (answer2) lib.fire(258, answer2, lastCentreId(2));
    }
};

TEST_F(Faults, CentreNeverReadIsGivenUpAfterSixPollsAndTheOthersGoOn) {
    connectWithSilentCentre("ERROR: +CME ERROR: 10");
    for (int tick = 2; tick <= kCentrePolls; ++tick) {
        loop.advance(5000);
        lib.fire(258, "ERROR", lastCentreId(2));
    }
    EXPECT_EQ(centreAsks(2), kCentrePolls);
    EXPECT_EQ(centreAsks(1), 1);
    EXPECT_EQ(lib.count(Op::GetSimInfo), 0);  // still waiting at 30 s
    EXPECT_EQ(link->simInitCount(), -1);

    loop.advance(5000);
    EXPECT_EQ(centreAsks(2), kCentrePolls);  // not asked a seventh time
    auto& dev = link->devices();
    EXPECT_TRUE(dev.centreRead(2));
    EXPECT_TRUE(dev.centreUnknown(2));
    EXPECT_EQ(dev.centreNumber(2), "");
    EXPECT_FALSE(dev.centreUnknown(1));
    EXPECT_EQ(dev.centreNumber(1), "+8613800100500");
    // Both devices are listed, and sending may start.
    EXPECT_EQ(lib.count(Op::GetSimInfo), 4);
    EXPECT_EQ(lib.count(Op::GetSavedTelphone), 2);
    EXPECT_EQ(lib.count(Op::GetExistedMessage), 2);
    EXPECT_EQ(link->simInitCount(), 2);
    EXPECT_FALSE(loop.timerActive(link.get(), TIMER_STARTUP_POLL));
    loop.runUntilIdle();
    EXPECT_GE(sink.of(UM_SENDQUEUE).size(), 2u);
}

TEST_F(Faults, CentreAnsweredOnTheSixthAskIsNotUnknownAndALateAnswerFillsItIn) {
    connectWithSilentCentre(nullptr);
    for (int tick = 2; tick < kCentrePolls; ++tick) loop.advance(5000);
    loop.advance(5000);  // the sixth ask
    ASSERT_EQ(centreAsks(2), kCentrePolls);
    const int sixth = lastCentreId(2);
    const int fifth = lib.calls(Op::GetGSMCenter)[kCentrePolls - 1].result;
    loop.advance(5000);  // given up: the asks are still unanswered
    ASSERT_TRUE(link->devices().centreUnknown(2));
    lib.fire(258, "+8613800200500", fifth);
    EXPECT_FALSE(link->devices().centreUnknown(2));
    EXPECT_EQ(link->devices().centreNumber(2), "+8613800200500");
    EXPECT_TRUE(link->devices().centreRead(2));
    lib.fire(258, "ERROR", sixth);  // a later error changes nothing
    EXPECT_EQ(link->devices().centreNumber(2), "+8613800200500");

    // A reconnect asks again from the start.
    link->disconnect();
    loop.advance(300);
    EXPECT_FALSE(link->devices().centreUnknown(2));
    lib.clearCalls();
    link->connect();
    loop.advance(5000);
    EXPECT_EQ(centreAsks(2), 1);
    lib.fire(258, "+8613800200500", lastCentreId(2));
    loop.advance(5000);
    EXPECT_FALSE(link->devices().centreUnknown(2));
}

TEST_F(Faults, CentreReadOnTheLastAllowedPollIsKept) {
    connectWithSilentCentre(nullptr);
    for (int tick = 2; tick <= kCentrePolls; ++tick) loop.advance(5000);
    lib.fire(258, "+8613800200500", lastCentreId(2));
    loop.advance(5000);
    EXPECT_FALSE(link->devices().centreUnknown(2));
    EXPECT_EQ(link->devices().centreNumber(2), "+8613800200500");
    EXPECT_EQ(lib.count(Op::GetExistedMessage), 2);
}

class Batches : public Faults {
protected:
    void SetUp() override { connectAndPoll(2); }
    int store(SimPhoneEntry* e) {
        send(UM_STORESIMENTRY, 1, lp(e));
        return lastId(Op::SetTelphone);
    }
    int shown(unsigned id) {
        int n = 0;
        for (unsigned b : boxIds()) n += b == id;
        return n;
    }
};

TEST_F(Batches, StoresCutOffByADisconnectDoNotHideTheNextFailure) {
    store(addEntry(1, 3, "10086", "a"));
    send(UM_DELETESIMENTRY, 0, lp(addEntry(1, 4, "10010", "b")));
    ASSERT_EQ(link->storeBatch().outstanding, 1);
    link->disconnect();  // the library drops them without an answer
    loop.advance(300);
    EXPECT_EQ(link->storeBatch().outstanding, 0);
    EXPECT_EQ(link->deleteBatch().outstanding, 0);

    connectAndPoll(2);
    const int id = store(addEntry(1, 5, "10000", "c"));
    lib.fire(514, "ERROR", id);
    loop.runUntilIdle();
    ASSERT_EQ(shown(60007), 1);
    EXPECT_EQ(boxes.shown.back().text, FormatStr(60007, {int64_t{1}}));
    const int del =
        (send(UM_DELETESIMENTRY, 0, lp(addEntry(1, 6, "1", "d"))), lastId(Op::DelTelphone));
    lib.fire(513, "ERROR", del);
    loop.runUntilIdle();
    EXPECT_EQ(shown(60069), 1);
}

TEST_F(Batches, StoresOfARemovedDeviceLeaveTheBatch) {
    store(addEntry(2, 3, "10086", "a"));  // never answered: its device goes
    store(addEntry(2, 4, "10010", "b"));
    const int other = store(addEntry(1, 5, "10000", "c"));
    ports.viewExists = false;
    lib.fire(1, nullptr, 2);
    loop.runUntilIdle();
    EXPECT_EQ(link->storeBatch().outstanding, 1);
    lib.fire(514, "ERROR", other);
    loop.runUntilIdle();
    ASSERT_EQ(shown(60007), 1);
    EXPECT_EQ(boxes.shown.back().text, FormatStr(60007, {int64_t{1}}));
}

TEST_F(Batches, RemovalThatLeavesOnlyFailuresReportsThem) {
    store(addEntry(2, 3, "10086", "a"));
    const int failing = store(addEntry(2, 4, "10010", "b"));
    lib.fire(514, "ERROR", failing);
    loop.runUntilIdle();
    EXPECT_EQ(shown(60007), 0);  // a is still out
    ports.viewExists = false;
    lib.fire(1, nullptr, 2);
    loop.runUntilIdle();
    ASSERT_EQ(shown(60007), 1);
    EXPECT_EQ(boxes.shown.back().text, FormatStr(60007, {int64_t{1}}));
    EXPECT_EQ(link->storeBatch().outstanding, 0);
    EXPECT_EQ(link->storeBatch().failed, 0);
}

TEST_F(Faults, UnplugNoticesForDevicesNotAttachedAreIgnored) {
    connectAndPoll(2);
    ports.viewExists = false;
    lib.fire(1, nullptr, 3);  // one above the count
    lib.fire(1, nullptr, 16);
    lib.fire(1, nullptr, 0);
    lib.fire(1, nullptr, 17);
    loop.runUntilIdle();
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(link->frameDeviceCount(), 2);
    lib.fire(1, nullptr, 2);  // the last attached one counts
    loop.runUntilIdle();
    EXPECT_TRUE(link->linkActive());
    EXPECT_EQ(link->frameDeviceCount(), 1);
    lib.fire(1, nullptr, 2);  // again: already gone
    loop.runUntilIdle();
    EXPECT_EQ(link->frameDeviceCount(), 1);
    EXPECT_TRUE(link->linkActive());
    lib.fire(1, nullptr, 1);
    loop.advance(300);
    EXPECT_FALSE(link->linkActive());
    EXPECT_EQ(boxIds().size(), 2u);
}

TEST_F(Faults, BogusSimSizesAreClampedBeforeTheyReachTheTable) {
    connectAndPoll(1, false);
    link->pending().add(60, 1, "NULL");
    link->pending().add(61, 1, "NULL");
    lib.fire(3841, "\"1-2147483647\"", 60);
    lib.fire(3842, "\"SM\",0/1001", 61);
    EXPECT_EQ(link->devices().slot(1).phonebookCapacity, 1000);
    EXPECT_EQ(link->devices().slot(1).messageCapacity, 1000);
    addEntry(1, 1, "10086", "a");
    EXPECT_EQ(book.FirstFreeSimIndex(1, link->devices().slot(1).phonebookCapacity), 2);
}

}  // namespace
}  // namespace msgdesk::test
