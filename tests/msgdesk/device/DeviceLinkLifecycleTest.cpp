// SPDX-License-Identifier: GPL-3.0-or-later
#include "msgdesk/device/DeviceLinkFixture.h"
#include "res/StringTable.h"

namespace msgdesk::test {
namespace {

using platform::MbIcon;

class Connect : public DeviceLinkTest {};

TEST_F(Connect, WithoutInitModulesShows60010AndStaysDown) {
    make(lib.tableWithout({Op::InitModules}));
    link->connect();
    loop.runUntilIdle();
    EXPECT_EQ(boxIds(), std::vector<unsigned>{60010});
    EXPECT_EQ(boxes.shown[0].icon, MbIcon::Exclamation);
    EXPECT_EQ(sink.params(UM_STATUSPANE), (std::vector<std::pair<long, long>>{{50010, 1}}));
    EXPECT_FALSE(link->linkActive());
    EXPECT_TRUE(link->commandEnabled(ID_CONNECT));
}

TEST_F(Connect, RefusedInitShows60009WithNoStatusAndNoTimers) {
    make();
    lib.queueResults(Op::InitModules, {1});
    link->onCommand(ID_CONNECT);
    loop.runUntilIdle();
    EXPECT_EQ(boxIds(), std::vector<unsigned>{60009});
    EXPECT_TRUE(sink.got.empty());
    EXPECT_FALSE(link->linkActive());
    EXPECT_TRUE(link->commandEnabled(ID_CONNECT));
    EXPECT_FALSE(link->commandEnabled(ID_DISCONNECT));
    EXPECT_FALSE(loop.timerActive(link.get(), TIMER_SIGNAL_POLL));
    EXPECT_EQ(lib.count(Op::RegistCallbackFunction), 0);
}

int MODLINK_CALL oneRefusal() {
    return 1;
}
int MODLINK_CALL noRefusal() {
    return 0;
}

// A modem ModemManager kept: after 60009 the user hears the reason; a
// failure of another kind, or an older library, shows 60009 alone.
TEST_F(Connect, RefusalByModemManagerIsExplainedAfter60009) {
    struct Row {
        decltype(&::GetManagerRefusals) refusals;
        std::vector<unsigned> boxes;
    };
    for (const Row& row : {Row{oneRefusal, {60009, IDS_MANAGER_REFUSED}}, Row{noRefusal, {60009}},
                           Row{nullptr, {60009}}}) {
        DeviceLibrary table = lib.table();
        table.GetManagerRefusals = row.refusals;
        make(table);
        boxes.shown.clear();
        lib.queueResults(Op::InitModules, {1});
        link->connect();
        loop.runUntilIdle();
        EXPECT_EQ(boxIds(), row.boxes);
        EXPECT_FALSE(link->linkActive());
    }
    EXPECT_FALSE(std::string(LoadStr(IDS_MANAGER_REFUSED)).empty());
}

TEST_F(Connect, RegistersCountsStartsTimersAndQueuesSending) {
    make();
    lib.setDeviceCount(2);
    link->onCommand(ID_CONNECT);
    loop.runUntilIdle();
    EXPECT_TRUE(lib.callbackRegistered());
    EXPECT_TRUE(link->linkActive());
    EXPECT_EQ(link->deviceCount(), 2);
    EXPECT_EQ(link->frameDeviceCount(), 2);
    EXPECT_EQ(link->simInitCount(), -1);
    EXPECT_TRUE(loop.timerActive(link.get(), TIMER_SIGNAL_POLL));
    EXPECT_TRUE(loop.timerActive(link.get(), TIMER_STARTUP_POLL));
    ASSERT_EQ(sink.got.size(), 2u);
    EXPECT_EQ(sink.got[0].msg, UM_SENDQUEUE);
    EXPECT_EQ(sink.got[1].msg, UM_STATUSPANE);
    EXPECT_FALSE(link->commandEnabled(ID_CONNECT));
    // Order of the library calls.
    auto c = lib.calls();
    ASSERT_GE(c.size(), 3u);
    EXPECT_EQ(c[0].op, Op::InitModules);
    EXPECT_EQ(c[1].op, Op::RegistCallbackFunction);
    EXPECT_EQ(c[2].op, Op::GetActiveDeviceCount);
}

TEST_F(Connect, WithoutCallbackRegistrationOrCountStillComesUp) {
    make(lib.tableWithout({Op::RegistCallbackFunction, Op::GetActiveDeviceCount}));
    link->connect();
    EXPECT_TRUE(link->linkActive());
    EXPECT_FALSE(lib.callbackRegistered());
    EXPECT_EQ(link->deviceCount(), 0);
}

TEST_F(Connect, FailedCountLeavesLinkUpWithNoDevicesAndPollEndsAtOnce) {
    make();
    lib.setDeviceCount(3);
    lib.queueResults(Op::GetActiveDeviceCount, {-1});
    link->connect();
    loop.runUntilIdle();
    EXPECT_TRUE(link->linkActive());
    EXPECT_EQ(link->deviceCount(), 0);
    sink.got.clear();
    loop.advance(5000);
    EXPECT_FALSE(loop.timerActive(link.get(), TIMER_STARTUP_POLL));
    EXPECT_EQ(link->simInitCount(), 0);
    EXPECT_EQ(sink.of(UM_SENDQUEUE).size(), 1u);
    EXPECT_EQ(lib.count(Op::GetGSMCenter), 0);
}

TEST_F(Connect, OutOfRangeCountIsClamped) {
    make();
    lib.setDeviceCount(40);
    link->connect();
    EXPECT_EQ(link->deviceCount(), 16);
}

class StartupPoll : public DeviceLinkTest {};

TEST_F(StartupPoll, ReadsCentresFirstThenSimGeometryPhonebookAndMessages) {
    make();
    lib.setDeviceCount(2);
    link->connect();
    loop.advance(5000);
    ASSERT_EQ(lib.count(Op::GetGSMCenter), 2);
    EXPECT_EQ(lib.count(Op::GetSimInfo), 0);
    EXPECT_EQ(link->pending().count(), 2u);

    // Only device 1 answers: the next tick asks device 2 again, no phase 2.
    lib.fire(258, "+8613800100500", lib.calls(Op::GetGSMCenter)[0].result);
    loop.advance(5000);
    auto centres = lib.calls(Op::GetGSMCenter);
    ASSERT_EQ(centres.size(), 3u);
    EXPECT_EQ(centres[2].a, 2);
    EXPECT_EQ(lib.count(Op::GetSimInfo), 0);
    EXPECT_EQ(link->devices().centreNumber(1), "+8613800100500");
    EXPECT_TRUE(link->devices().centreRead(1));

    lib.fire(258, "+8613800200500", centres[2].result);
    sink.got.clear();
    loop.advance(5000);
    // Phase 2 in device order.
    std::vector<std::pair<Op, int>> seq;
    for (auto& c : lib.calls())
        if (c.op == Op::GetSimInfo || c.op == Op::GetSavedTelphone || c.op == Op::GetExistedMessage)
            seq.emplace_back(c.op, c.a * 10 + c.b);
    std::vector<std::pair<Op, int>> want = {
        {Op::GetSimInfo, 11},        {Op::GetSimInfo, 12},       {Op::GetSavedTelphone, 10},
        {Op::GetExistedMessage, 10}, {Op::GetSimInfo, 21},       {Op::GetSimInfo, 22},
        {Op::GetSavedTelphone, 20},  {Op::GetExistedMessage, 20}};
    EXPECT_EQ(seq, want);
    EXPECT_EQ(link->simInitCount(), 2);
    EXPECT_FALSE(loop.timerActive(link.get(), TIMER_STARTUP_POLL));
    EXPECT_EQ(sink.of(UM_SENDQUEUE).size(), 1u);
    ASSERT_EQ(ports.deviceDialog.size(), 1u);
    EXPECT_EQ(ports.deviceDialog[0].msg, UM_SIMREADY);
    // Two geometry rows and one phonebook row per device are outstanding,
    // and device 2's first, never answered centre request.
    EXPECT_EQ(link->pending().count(), 7u);
}

TEST_F(StartupPoll, RefusedRequestIsRepeatedOnTheNextTickAndOnlyIt) {
    make();
    lib.setDeviceCount(2);
    lib.queueResults(Op::GetSavedTelphone, {FakeDeviceLibrary::kAutoId, -1});
    connectAndPoll(2);
    EXPECT_TRUE(loop.timerActive(link.get(), TIMER_STARTUP_POLL));
    EXPECT_EQ(lib.count(Op::GetSavedTelphone), 2);
    EXPECT_TRUE(sink.of(UM_SENDQUEUE).size() == 1u);  // only the one from connect
    int init = link->simInitCount();
    EXPECT_EQ(init, 2);

    loop.advance(5000);
    auto book = lib.calls(Op::GetSavedTelphone);
    ASSERT_EQ(book.size(), 3u);
    EXPECT_EQ(book[2].a, 2);
    // What was accepted is not asked again: no second listing, no double count.
    EXPECT_EQ(lib.count(Op::GetExistedMessage), 2);
    EXPECT_EQ(lib.count(Op::GetSimInfo), 4);
    EXPECT_EQ(link->simInitCount(), 2);
    EXPECT_FALSE(loop.timerActive(link.get(), TIMER_STARTUP_POLL));
    EXPECT_EQ(sink.of(UM_SENDQUEUE).size(), 2u);
}

TEST_F(StartupPoll, DoesNothingWhileAnyOfItsOperationsIsUnbound) {
    make(lib.tableWithout({Op::GetExistedMessage}));
    lib.setDeviceCount(1);
    link->connect();
    loop.advance(15000);
    EXPECT_EQ(lib.count(Op::GetGSMCenter), 0);
    EXPECT_TRUE(loop.timerActive(link.get(), TIMER_STARTUP_POLL));
}

TEST_F(StartupPoll, ListingEndsLowerTheInitialisationCount) {
    connectAndPoll(2);
    ASSERT_EQ(link->simInitCount(), 2);
    lib.fire(264, nullptr, 1);
    loop.runUntilIdle();
    EXPECT_EQ(link->simInitCount(), 1);
    EXPECT_TRUE(link->devices().messagesListed(1));
    lib.fire(264, nullptr, 2);
    lib.fire(264, nullptr, 2);  // a repeated end never drives it below 0
    loop.runUntilIdle();
    EXPECT_EQ(link->simInitCount(), 0);
}

TEST_F(StartupPoll, TickAfterDisconnectEndsThePoll) {
    make();
    lib.setDeviceCount(1);
    link->connect();
    link->disconnect();
    loop.advance(300);
    EXPECT_EQ(link->simInitCount(), -1);
    EXPECT_TRUE(loop.timerActive(link.get(), TIMER_STARTUP_POLL));
    sink.got.clear();
    loop.advance(5000);
    EXPECT_EQ(link->simInitCount(), 0);
    EXPECT_FALSE(loop.timerActive(link.get(), TIMER_STARTUP_POLL));
    EXPECT_EQ(sink.of(UM_SENDQUEUE).size(), 1u);
}

class SignalPoll : public DeviceLinkTest {};

TEST_F(SignalPoll, CursorWalksThreeDevicesAndWaitsOnARefusal) {
    connectAndPoll(3, false);
    lib.queueResults(Op::GetSignal, {1, 2, -1, 3, 4});
    loop.advance(5 * 6000);
    std::vector<int> devices;
    for (auto& c : lib.calls(Op::GetSignal)) devices.push_back(c.a);
    EXPECT_EQ(devices, (std::vector<int>{1, 2, 3, 3, 1}));
    EXPECT_EQ(link->signalCursor(), 2);
}

TEST_F(SignalPoll, SignalTextsBecomePaneKinds) {
    connectAndPoll(3, false);
    sink.got.clear();
    lib.fire(4, "99", 3);
    lib.fire(4, "17", 2);
    lib.fire(4, "ERROR", 1);
    lib.fire(4, "TIMEOUT", 1);
    lib.fire(4, "12", 0);
    lib.fire(4, "12", 17);
    lib.fire(4, "-1", 1);
    lib.fire(4, nullptr, 1);
    loop.runUntilIdle();
    EXPECT_EQ(sink.params(UM_STATUSPANE),
              (std::vector<std::pair<long, long>>{{50011, 100}, {50011, 81}, {50011, 36}}));
}

TEST_F(SignalPoll, RemovedDeviceIsSkippedSoTheOthersArePolled) {
    connectAndPoll(2, false);
    lib.fire(1, nullptr, 2);
    loop.runUntilIdle();
    lib.setResult(Op::GetSignal, -1);  // device 2 is gone and refuses
    lib.queueResults(Op::GetSignal, {7, 8, 9});
    loop.advance(3 * 6000);
    for (auto& c : lib.calls(Op::GetSignal)) EXPECT_EQ(c.a, 1);
}

class SimFull : public DeviceLinkTest {};

TEST_F(SimFull, BlinksWhileASimIsFullAndStopsAfterADeletion) {
    connectAndPoll(1, false);
    link->devices().setMessageCapacity(1, 30);
    link->devices().addMessageCount(1, 30);
    loop.advance(6000);
    EXPECT_TRUE(link->simFullBlinking());
    ports.log.clear();
    loop.advance(1500);
    EXPECT_EQ(ports.log, (std::vector<std::string>{"bitmap on", "bitmap off", "bitmap on"}));

    link->devices().addMessageCount(1, -1);
    ports.log.clear();
    loop.advance(4500);  // next signal poll at 12000
    EXPECT_FALSE(link->simFullBlinking());
    EXPECT_FALSE(loop.timerActive(link.get(), TIMER_SIM_FULL_BLINK));
    ASSERT_FALSE(ports.log.empty());
    EXPECT_EQ(ports.log.back(), "bitmap off");
}

TEST_F(SimFull, EmptySimIsNotFull) {
    connectAndPoll(1, false);
    loop.advance(6000);  // capacity 0 equals count 0, but is not full
    EXPECT_FALSE(link->simFullBlinking());
}

TEST_F(SimFull, DoubleClickOnCapacityPane) {
    make();
    link->onPaneDoubleClick(PANE_CAPACITY);
    EXPECT_EQ(boxIds(), std::vector<unsigned>{60061});  // no link

    connectAndPoll(1);
    link->devices().setMessageCapacity(1, 5);
    link->devices().addMessageCount(1, 5);
    loop.advance(6000);
    ASSERT_TRUE(link->simFullBlinking());
    boxes.shown.clear();
    link->onPaneDoubleClick(PANE_CAPACITY);  // listing still running
    EXPECT_EQ(boxIds(), (std::vector<unsigned>{60047, 60061}));
    EXPECT_TRUE(ports.simInfo.empty());

    lib.fire(264, nullptr, 1);
    loop.runUntilIdle();
    boxes.shown.clear();
    link->onPaneDoubleClick(PANE_CAPACITY);
    EXPECT_EQ(boxIds(), std::vector<unsigned>{60047});
    ASSERT_EQ(ports.simInfo.size(), 1u);
    EXPECT_EQ(ports.simInfo[0].deviceCount, 1);
    EXPECT_EQ(ports.simInfo[0].devices[1].messageCapacity, 5);

    boxes.shown.clear();
    link->onPaneDoubleClick(PANE_SIGNAL);
    EXPECT_TRUE(boxes.shown.empty());
}

}  // namespace
}  // namespace msgdesk::test
