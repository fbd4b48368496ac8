// SPDX-License-Identifier: GPL-3.0-or-later
#include "msgdesk/device/DeviceLinkFixture.h"

namespace msgdesk::test {
namespace {

using platform::MbIcon;

class DeviceRemoved : public DeviceLinkTest {};

TEST_F(DeviceRemoved, OneOfTwoIsForgottenAndTheLinkStays) {
    connectAndPoll(2);
    addEntry(1, 1, "10086", "a");
    addEntry(2, 1, "10010", "b");
    link->devices().setPhonebookCapacity(2, 50);
    link->devices().setPhonebookUsed(2, 1);
    lib.fire(516, nullptr, lib.calls(Op::GetSavedTelphone)[1].result);
    loop.runUntilIdle();
    ASSERT_TRUE(link->devices().phonebookListed(2));
    ports.log.clear();

    lib.fire(1, nullptr, 2);
    loop.runUntilIdle();
    EXPECT_TRUE(link->linkActive());
    EXPECT_EQ(link->frameDeviceCount(), 1);
    EXPECT_TRUE(book.list(2).empty());
    EXPECT_EQ(book.list(1).size(), 1u);
    EXPECT_EQ(link->devices().slot(2).phonebookCapacity, 0);
    EXPECT_FALSE(link->devices().phonebookListed(2));
    EXPECT_EQ(ports.log, (std::vector<std::string>{"contacts", "simmsgs 2"}));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Zunto(2)已被移除");
    EXPECT_EQ(boxes.shown[0].icon, MbIcon::Exclamation);
    EXPECT_FALSE(link->deviceAttached(2));
    EXPECT_TRUE(link->deviceAttached(1));

    // The same notice again changes nothing.
    lib.fire(1, nullptr, 2);
    loop.runUntilIdle();
    EXPECT_EQ(link->frameDeviceCount(), 1);
    EXPECT_EQ(boxes.shown.size(), 1u);
}

TEST_F(DeviceRemoved, TheLastOneDisconnectsBeforeItsMessage) {
    connectAndPoll(2);
    lib.fire(1, nullptr, 2);
    loop.runUntilIdle();
    boxes.shown.clear();
    lib.fire(1, nullptr, 1);
    loop.runUntilIdle();
    EXPECT_FALSE(link->linkActive());
    EXPECT_TRUE(boxes.shown.empty());  // shown after the 300 ms pause
    EXPECT_EQ(lib.count(Op::CloseModules), 0);
    loop.advance(300);
    EXPECT_EQ(lib.count(Op::CloseModules), 1);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Zunto(1)已被移除");
    EXPECT_EQ(link->frameDeviceCount(), 0);
    EXPECT_EQ(link->deviceCount(), 0);
    EXPECT_TRUE(link->commandEnabled(ID_CONNECT));
}

// Unplugging ends the device's SIM listing after the removal notice: it must
// still count, or the SIM commands of the remaining device stay disabled.
TEST_F(DeviceRemoved, ListingEndedByTheUnplugStillCounts) {
    connectAndPoll(2);
    ASSERT_EQ(link->simInitCount(), 2);
    lib.fire(1, nullptr, 2);
    lib.fire(264, "ERROR: device unplugged", 2);
    lib.fire(264, nullptr, 2);
    loop.runUntilIdle();
    EXPECT_FALSE(link->devices().messagesListed(2));
    EXPECT_EQ(link->simInitCount(), 1);
    lib.fire(264, nullptr, 1);
    loop.runUntilIdle();
    EXPECT_EQ(link->simInitCount(), 0);
    EXPECT_TRUE(link->devices().messagesListed(1));
}

TEST_F(DeviceRemoved, WithoutMainViewListsStay) {
    connectAndPoll(2);
    addEntry(2, 1, "10010", "b");
    ports.viewExists = false;
    lib.fire(1, nullptr, 2);
    loop.runUntilIdle();
    EXPECT_EQ(book.list(2).size(), 1u);
    EXPECT_EQ(link->frameDeviceCount(), 1);
}

class Disconnect : public DeviceLinkTest {};

TEST_F(Disconnect, UnattachesPausesThenClearsEverything) {
    connectAndPoll(2);
    addEntry(1, 3, "10086", "a");
    link->devices().setMessageCapacity(1, 2);
    link->devices().addMessageCount(1, 2);
    loop.advance(6000);
    ASSERT_TRUE(link->simFullBlinking());
    ASSERT_GT(link->pending().count(), 0u);
    lib.clearCalls();
    ports.log.clear();
    sink.got.clear();

    bool done = false;
    link->disconnect([&] { done = true; });
    auto un = lib.calls(Op::UnattachPhone);
    ASSERT_EQ(un.size(), 2u);
    EXPECT_EQ(un[0].a, 1);
    EXPECT_EQ(un[1].a, 2);
    loop.advance(299);
    EXPECT_EQ(lib.count(Op::CloseModules), 0);
    EXPECT_FALSE(done);
    EXPECT_TRUE(link->linkActive());
    loop.advance(1);
    EXPECT_TRUE(done);
    EXPECT_EQ(lib.count(Op::CloseModules), 1);
    EXPECT_FALSE(link->linkActive());
    EXPECT_EQ(link->pending().count(), 0u);
    EXPECT_TRUE(book.list(1).empty());
    EXPECT_EQ(link->devices().slot(1).messageCapacity, 0);
    EXPECT_FALSE(link->devices().centreRead(1));
    EXPECT_EQ(link->simInitCount(), -1);
    EXPECT_EQ(link->deviceCount(), 0);
    EXPECT_FALSE(link->simFullBlinking());
    EXPECT_FALSE(loop.timerActive(link.get(), TIMER_SIGNAL_POLL));
    EXPECT_FALSE(loop.timerActive(link.get(), TIMER_SIM_FULL_BLINK));
    EXPECT_EQ(ports.log,
              (std::vector<std::string>{"bitmap off", "contacts", "simmsgs 17", "clearbatch"}));
    EXPECT_EQ(sink.params(UM_STATUSPANE),
              (std::vector<std::pair<long, long>>{{50013, 0}, {50011, 0}, {50012, 0}}));
}

TEST_F(Disconnect, WithoutCloseModulesOnlyTheIndicatorStops) {
    make(lib.tableWithout({Op::CloseModules}));
    connectAndPoll(1);
    bool done = false;
    link->disconnect([&] { done = true; });
    loop.advance(300);
    EXPECT_TRUE(done);
    EXPECT_TRUE(link->linkActive());
    EXPECT_TRUE(loop.timerActive(link.get(), TIMER_SIGNAL_POLL));
}

TEST_F(Disconnect, ByUserAsksWhenBusyOrSendingAndStopsRinging) {
    connectAndPoll(1);
    for (int i = 0; i < 4; ++i) link->pending().add(5000 + i, 1, "NULL");
    ports.batchRunning = true;

    boxes.answers = {platform::IDNO};
    link->onCommand(ID_DISCONNECT);
    EXPECT_EQ(boxIds(), std::vector<unsigned>{60033});
    EXPECT_EQ(boxes.shown[0].buttons, platform::MbButtons::YesNo);
    EXPECT_FALSE(link->disconnectPending());

    boxes.shown.clear();
    boxes.answers = {platform::IDYES, platform::IDNO};
    link->onCommand(ID_DISCONNECT);
    EXPECT_EQ(boxIds(), (std::vector<unsigned>{60033, 60001}));
    EXPECT_EQ(boxes.shown[1].icon, MbIcon::Information);
    EXPECT_FALSE(link->disconnectPending());

    boxes.shown.clear();
    ports.log.clear();
    link->onCommand(ID_DISCONNECT);  // Yes, Yes
    EXPECT_TRUE(link->disconnectPending());
    EXPECT_FALSE(link->commandEnabled(ID_CONNECT));
    loop.advance(300);
    EXPECT_FALSE(link->linkActive());
    ASSERT_FALSE(ports.log.empty());
    EXPECT_EQ(ports.log.back(), "unring");
}

TEST_F(Disconnect, BusyTestCountsRowsAgainstThreePerDevice) {
    connectAndPoll(2, false);
    link->pending().clear();
    for (int i = 0; i < 6; ++i) link->pending().add(i, 1, "NULL");
    lib.clearCalls();
    EXPECT_FALSE(link->isBusy());
    EXPECT_EQ(lib.count(Op::GetCommandCount), 2);
    link->pending().add(99, 2, "NULL");
    EXPECT_TRUE(link->isBusy());

    DeviceLinkTest::lib.clearCalls();
}

TEST_F(Disconnect, BusyTestNeedsGetCommandCount) {
    make(lib.tableWithout({Op::GetCommandCount}));
    connectAndPoll(1, false);
    for (int i = 0; i < 10; ++i) link->pending().add(i, 1, "NULL");
    EXPECT_FALSE(link->isBusy());
}

TEST_F(Disconnect, ReconnectAfterwardsStartsAfresh) {
    connectAndPoll(2);
    lib.fire(1, nullptr, 2);
    loop.runUntilIdle();
    link->disconnect();
    loop.advance(300);
    lib.setDeviceCount(2);
    link->connect();
    EXPECT_TRUE(link->deviceAttached(2));
    EXPECT_EQ(link->frameDeviceCount(), 2);
}

}  // namespace
}  // namespace msgdesk::test
