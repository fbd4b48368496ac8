// SPDX-License-Identifier: GPL-3.0-or-later
#include "MessageListFixture.h"
#include "store/MailboxFiles.h"

using namespace msgdesk;
using namespace storetest;
using Strings = std::vector<std::string>;
namespace fs = std::filesystem;

TEST_F(MessageListFixture, DeleteFromSentBoxMovesRowsInPositionOrder) {
    fill(SentBox, {"a", "b", "c", "d", "e"});
    select(SentBox, {1, 2, 4});
    list->deleteSelected();
    EXPECT_EQ(numbers(box(SentBox)), (Strings{"a", "d"}));
    EXPECT_EQ(numbers(box(DeleteBox)), (Strings{"b", "c", "e"}));
    EXPECT_EQ(statuses(box(DeleteBox)), (Strings{"2", "2", "2"}));
    // Removed one at a time from the first: the last removal was at 2,
    // past the end now, so the row before it is selected.
    EXPECT_EQ(box(SentBox).selectedRows(), (std::vector<int>{1}));
    EXPECT_GE(frame.count(UM_STATUSPANE, PANE_MAILBOX, 1), 1);
}

TEST_F(MessageListFixture, DeleteFromInBoxReversesAndPublicBoxKeepsOrder) {
    fill(InBox, {"a", "b", "c", "d"}, "NEW");
    select(InBox, {0, 2, 3});
    list->deleteSelected();
    EXPECT_EQ(numbers(box(DeleteBox)), (Strings{"d", "c", "a"}));
    EXPECT_EQ(statuses(box(DeleteBox)), (Strings{"0", "0", "0"}));
    EXPECT_EQ(numbers(box(InBox)), (Strings{"b"}));
    EXPECT_EQ(box(InBox).selectedRows(), (std::vector<int>{0}));

    fill(PublicBox, {"p", "q", "r"});
    select(PublicBox, {0, 2});
    list->deleteSelected();
    EXPECT_EQ(numbers(box(DeleteBox)), (Strings{"d", "c", "a", "p", "r"}));
    EXPECT_EQ(statuses(box(DeleteBox)).back(), "3");
    EXPECT_EQ(numbers(box(PublicBox)), (Strings{"q"}));
}

TEST_F(MessageListFixture, DeleteBoxAsksAndCancelChangesNothing) {
    fill(DeleteBox, {"a", "b", "c"}, "2");
    select(DeleteBox, {0, 1});
    mb.answers = {platform::IDCANCEL};
    list->deleteSelected();
    EXPECT_EQ(numbers(box(DeleteBox)), (Strings{"a", "b", "c"}));
    ASSERT_EQ(mb.shown.size(), 1u);
    EXPECT_EQ(mb.shown[0].stringId, 60002u);
    EXPECT_EQ(mb.shown[0].buttons, platform::MbButtons::OkCancel);
    EXPECT_EQ(mb.shown[0].icon, platform::MbIcon::Information);

    list->deleteSelected();  // OK this time: gone for good
    EXPECT_EQ(numbers(box(DeleteBox)), (Strings{"c"}));
    EXPECT_EQ(box(DeleteBox).selectedRows(), (std::vector<int>{0}));
}

TEST_F(MessageListFixture, OutBoxDeleteTakesQueuedMessagesBackFromTheLibrary) {
    fill(OutBox, {"waiting"});
    store->AppendMessage(rec("queued", "t", "41"), OutBox);
    store->AppendMessage(rec("sending", "t", "42"), OutBox);
    box(OutBox).setSendId(1, 41);
    box(OutBox).setSendId(2, 42);
    batchRunning = true;
    delAnswer = [](int id) { return id == 41 ? 1 : 0; };  // 42 is on the air
    select(OutBox, {0, 1, 2});
    list->deleteSelected();
    EXPECT_EQ(delCalls, (std::vector<int>{41, 42}));
    EXPECT_EQ(batchLowered, 1);
    EXPECT_EQ(numbers(box(OutBox)), (Strings{"sending"}));
    EXPECT_EQ(numbers(box(DeleteBox)), (Strings{"waiting", "queued"}));
    EXPECT_EQ(statuses(box(DeleteBox)), (Strings{"1", "1"}));
    ASSERT_EQ(mb.shown.size(), 1u);  // once, not per refused row
    EXPECT_EQ(mb.shown[0].stringId, 60006u);
    EXPECT_EQ(mb.shown[0].icon, platform::MbIcon::Exclamation);
}

TEST_F(MessageListFixture, OutBoxDeleteWithLinkDownOrIdleBatchAsksNothing) {
    store->AppendMessage(rec("a", "t", "7"), OutBox);
    store->AppendMessage(rec("b", "t", "8"), OutBox);
    box(OutBox).setSendId(0, 7);
    box(OutBox).setSendId(1, 8);
    link = false;
    select(OutBox, {0});
    list->deleteSelected();
    EXPECT_TRUE(delCalls.empty());
    EXPECT_EQ(numbers(box(DeleteBox)), (Strings{"a"}));

    link = true;
    batchRunning = false;
    select(OutBox, {0});
    list->deleteSelected();
    EXPECT_EQ(delCalls, (std::vector<int>{8}));
    EXPECT_EQ(batchLowered, 0);
    EXPECT_TRUE(mb.shown.empty());
}

// Status holds 6 digits of the id at most, and after a restart only an old
// run's id: the library is asked with the full id of this run, or not at all.
TEST_F(MessageListFixture, OutBoxDeleteAsksWithTheFullIdOfThisRunOnly) {
    store->AppendMessage(rec("long", "t", "123456"), OutBox);
    store->AppendMessage(rec("old run", "t", "654321"), OutBox);
    box(OutBox).setSendId(0, 1234567);
    batchRunning = true;
    select(OutBox, {0, 1});
    list->deleteSelected();
    EXPECT_EQ(delCalls, (std::vector<int>{1234567}));
    EXPECT_EQ(batchLowered, 1);
    EXPECT_EQ(numbers(box(DeleteBox)), (Strings{"long", "old run"}));
    EXPECT_TRUE(mb.shown.empty());
}

TEST_F(MessageListFixture, RestoreSendsRowsHomeAndStartsThePump) {
    store->AppendMessage(rec("out", "t", "1"), DeleteBox);
    store->AppendMessage(rec("odd", "t", "x"), DeleteBox);
    store->AppendMessage(rec("in", "t", "0"), DeleteBox);
    store->AppendMessage(rec("blank", "t", ""), DeleteBox);
    store->AppendMessage(rec("far", "t", "4"), DeleteBox);
    select(DeleteBox, {0, 1, 2, 3, 4});
    list->restoreSelected();
    EXPECT_EQ(numbers(box(OutBox)), (Strings{"out"}));
    EXPECT_EQ(numbers(box(InBox)), (Strings{"in"}));
    EXPECT_EQ(statuses(box(OutBox)), (Strings{""}));
    EXPECT_EQ(numbers(box(DeleteBox)), (Strings{"odd", "blank", "far"}));
    EXPECT_EQ(sentToFrame.count(UM_SENDQUEUE), 1);
    EXPECT_EQ(frame.count(UM_SENDQUEUE), 0);
    EXPECT_EQ(box(OutBox).row(0).rec.date(), "2003-01-09");
}

TEST_F(MessageListFixture, RestoreBringsAnUnreadMessageBackRead) {
    fill(InBox, {"a"}, "NEW");
    select(InBox, {0});
    list->deleteSelected();
    select(DeleteBox, {0});
    list->restoreSelected();
    EXPECT_EQ(statuses(box(InBox)), (Strings{""}));
}

TEST_F(MessageListFixture, EmptyDeleteBoxAsksEvenWhenEmpty) {
    EXPECT_TRUE(list->emptyDeleteBox());
    EXPECT_EQ(mb.shown.size(), 1u);
    fill(DeleteBox, {"a", "b"}, "0");
    mb.answers = {platform::IDCANCEL};
    EXPECT_FALSE(list->emptyDeleteBox());
    EXPECT_EQ(box(DeleteBox).size(), 2);
    EXPECT_TRUE(list->emptyDeleteBox());
    EXPECT_EQ(box(DeleteBox).size(), 0);
}

TEST_F(MessageListFixture, DeletingManyScatteredRowsKeepsTheRest) {
    std::vector<int> odd;
    for (int i = 0; i < 100; ++i) {
        store->AppendMessage(rec(std::to_string(i), "t"), SentBox);
        if (i % 2) odd.push_back(i);
    }
    list->ShowMailbox(SentBox);
    box(SentBox).clearSelection();
    for (int r : odd) box(SentBox).setSelected(r, r, true);
    list->deleteSelected();
    ASSERT_EQ(box(SentBox).size(), 50);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(box(SentBox).row(i).rec.number(), std::to_string(2 * i));
    EXPECT_EQ(box(DeleteBox).size(), 50);
    EXPECT_EQ(box(DeleteBox).row(0).rec.number(), "1");
}

TEST_F(MessageListFixture, DeleteAndRestoreCarryTheWholeTextOfALongMessage) {
    const std::string head(160, 'x'), whole = head + " and the rest";
    fill(InBox, {"a", "b"}, "NEW");
    MessageRecord r = rec("10086", head, "NEW");
    store->AppendMessage(r, InBox);
    store->longTexts(InBox).add(LongTexts::keyOf(r), whole);
    ASSERT_TRUE(store->saveLongTexts(InBox));
    select(InBox, {2});
    EXPECT_EQ(previews.back().second, whole);
    // Forward takes 140 bytes of it; a plain row goes as it is.
    list->forward();
    ASSERT_FALSE(composes().empty());
    EXPECT_EQ(composes().back().first, std::string(140, 'x'));
    ASSERT_EQ(mb.shown.size(), 1u);
    EXPECT_EQ(mb.shown[0].stringId, 60077u);
    list->forwardRow(InBox, 0);
    EXPECT_EQ(composes().back().first, "text a");
    EXPECT_EQ(mb.shown.size(), 1u);
    list->deleteSelected();
    ASSERT_EQ(numbers(box(DeleteBox)), (Strings{"10086"}));
    EXPECT_TRUE(store->longTexts(InBox).entries().empty());
    // Status changed to "0": the key does not depend on it.
    EXPECT_EQ(store->longTexts(DeleteBox).wholeText(box(DeleteBox).row(0).rec), whole);
    store->SaveAllMailboxes();
    select(DeleteBox, {0});
    EXPECT_EQ(previews.back().second, whole);
    list->restoreSelected();
    ASSERT_EQ(box(InBox).size(), 3);
    EXPECT_EQ(store->longTexts(InBox).wholeText(box(InBox).row(2).rec), whole);
    EXPECT_TRUE(store->longTexts(DeleteBox).entries().empty());
    list->openRow(InBox, 2);
    EXPECT_EQ(viewedWhole, whole);
    // A plain row shows its own text; a whole text whose row is gone goes
    // with the next save, on disk too.
    list->openRow(InBox, 0);
    EXPECT_EQ(viewedWhole, "text a");
    box(InBox).removeRows({2});
    store->SaveAllMailboxes();
    LongTexts onDisk;
    ASSERT_TRUE(onDisk.load(LongTexts::pathFor(MailboxFilePath(dir.path, InBox))));
    EXPECT_TRUE(onDisk.entries().empty());
}

TEST_F(MessageListFixture, ADamagedSidecarIsSetAsideAndRowsShowTheirText) {
    const auto side = LongTexts::pathFor(MailboxFilePath(dir.path, InBox));
    writeFile(side, "not a sidecar\n");
    fill(InBox, {"a"});
    store->SaveAllMailboxes();
    store->BackupMailboxes();
    EXPECT_TRUE(fs::exists(side.string() + ".unreadable-1"));
    ASSERT_EQ(box(InBox).size(), 1);
    select(InBox, {0});
    EXPECT_EQ(previews.back().second, "text a");
}
