// SPDX-License-Identifier: GPL-3.0-or-later
#include <unistd.h>

#include <filesystem>

#include "compose/SimMessageRows.h"
#include "msgdesk/recvsend/RecvSendFixture.h"
#include "platform/Codepage.h"
#include "store/LongTexts.h"
#include "store/MailboxFiles.h"

namespace msgdesk::test {
namespace {

using Ids = std::vector<unsigned>;

class Receiving : public RecvSendTest {};

TEST_F(Receiving, NewMessageIsFiledSavedThenDeletedFromTheSim) {
    names["13800138000"] = "Zhang";
    // The InBox file must hold the message by the time its SIM copy goes.
    std::string fileAtDelete;
    lib.onCall(Op::DelSMSMessage, [&](const FakeDeviceLibrary::Call&) {
        fileAtDelete = storetest::readFile(MailboxFilePath(dir.path, InBox));
    });
    receive(2, 7, smsText("8613800138000", "030215093007", "Hi \"there\" you"));

    ASSERT_EQ(inbox().size(), 1);
    const MessageRecord& r = inbox().row(0).rec;
    EXPECT_EQ(r.number(), "8613800138000");  // filed with the 86
    EXPECT_EQ(r.contact(), "Zhang");         // found without it
    // The full number is tried first, as the message list does.
    EXPECT_EQ(lookedUp, (std::vector<std::string>{"8613800138000", "13800138000"}));
    EXPECT_EQ(r.text(), "Hi ");  // cut at the double quote
    EXPECT_EQ(r.date(), "2003-02-15");
    EXPECT_EQ(r.time(), "09:30:07");
    EXPECT_EQ(r.status(), "NEW");
    EXPECT_EQ(r.Icon, 0);
    EXPECT_EQ(fileAtDelete, storetest::recordBytes(r));

    auto dels = lib.calls(Op::DelSMSMessage);
    ASSERT_EQ(dels.size(), 1u);
    EXPECT_EQ(dels[0].a, 2);
    EXPECT_EQ(dels[0].b, 7);
    EXPECT_EQ(link->pending().find(dels[0].result)->text, "7");
    EXPECT_EQ(store->simCache().size(), 0);
    EXPECT_EQ(messageCount(2), 0);
    EXPECT_EQ(played.size(), 1u);

    const Trace want = {{UM_NEWMESSAGE, {0, 0}},
                        {UM_STATUSPANE, {50010, 1}},
                        {UM_DELETESIMMESSAGE, {2, 7}},
                        {UM_STATUSPANE, {50013, 226}}};
    Trace got = frame.trace({UM_NEWMESSAGE, UM_DELETESIMMESSAGE, UM_STATUSPANE});
    // The read request's "reading" text and the store's own count refresh
    // come first.
    ASSERT_GE(got.size(), want.size());
    EXPECT_EQ(Trace(got.end() - 4, got.end()), want);

    // The deletion is confirmed: the row goes, the dialog redraws.
    frame.got.clear();
    lib.fire(262, "OK", dels[0].result);
    loop.runUntilIdle();
    EXPECT_FALSE(link->pending().find(dels[0].result));
    EXPECT_EQ(frame.trace({UM_STATUSPANE}), (Trace{{UM_STATUSPANE, {50010, 1}}}));
    ASSERT_EQ(dialog.size(), 1u);
    EXPECT_EQ(dialog[0].msg, UM_SIMMESSAGES);
}

TEST_F(Receiving, NumbersAndStampsAreFiledAsDelivered) {
    names["+8613800138000"] = "Li";
    receive(1, 1, smsText("+8613800138000", "03021509300712", "x"));
    ASSERT_EQ(inbox().size(), 1);
    const MessageRecord& r = inbox().row(0).rec;
    EXPECT_EQ(r.number(), "+8613800138000");
    EXPECT_EQ(r.contact(), "Li");
    EXPECT_EQ(lookedUp, std::vector<std::string>{"+8613800138000"});
    // 14 characters: the first 6 and the last one, and the last 7.
    EXPECT_EQ(r.date(), "0302152");
    EXPECT_EQ(r.time(), "9300712");
}

TEST_F(Receiving, SaveInCardKeepsASimResidentCopy) {
    settings.SaveInCard = 1;
    receive(2, 9, smsText("10086", "030215093007", "balance"));
    ASSERT_EQ(inbox().size(), 1);
    EXPECT_EQ(inbox().row(0).rec.status(), "NEW");
    EXPECT_EQ(lib.count(Op::DelSMSMessage), 0);
    ASSERT_EQ(store->simCache().size(), 1);
    const MessageRecord& c = store->simCache().records()[0];
    EXPECT_EQ(c.Icon, 2);
    EXPECT_EQ(c.status(), "9/2");
    EXPECT_EQ(c.text(), "balance");
    EXPECT_EQ(messageCount(2), 1);
    EXPECT_EQ(dialog.size(), 1u);
}

// 㐀 is a BMP character GBK lacks: four stored bytes, one UTF-16 unit. 40
// fill the 160-byte Text exactly; the 41st goes beside the InBox, whole, and
// the SIM manager's copy keeps it too.
TEST_F(Receiving, AMessageOutgrowingItsTextIsKeptWholeBesideTheInBox) {
    settings.SaveInCard = 1;
    const std::string one = platform::codepage::utf8ToGbk("㐀");
    ASSERT_EQ(one.size(), 4u);
    std::string fits, over;
    for (int k = 0; k < 40; ++k) fits += one;
    over = fits + one;
    receive(1, 4, smsText("10086", "030215093007", fits));
    receive(1, 5, smsText("10087", "030215093007", over));
    ASSERT_EQ(inbox().size(), 2);
    EXPECT_EQ(inbox().row(0).rec.text(), fits);
    EXPECT_EQ(inbox().row(1).rec.text(), fits);  // the longest prefix that fits
    LongTexts side;
    ASSERT_TRUE(side.load(LongTexts::pathFor(MailboxFilePath(dir.path, InBox))));
    ASSERT_EQ(side.entries().size(), 1u);
    EXPECT_EQ(side.wholeText(inbox().row(1).rec), over);
    EXPECT_EQ(side.wholeText(inbox().row(0).rec), fits);
    const auto sim = JoinSimMessages(store->simCache(), 1);
    ASSERT_EQ(sim.size(), 2u);
    EXPECT_EQ(sim[0].whole, fits);
    EXPECT_EQ(sim[1].whole, over);
    EXPECT_EQ(sim[1].rec.text(), fits);
}

// The "(n)" in front of a long row: 70 UTF-16 units (an emoji is two) or 160
// ASCII characters still make one message, one more makes two.
TEST(LongTextParts, OneMessageHoldsSeventyUnitsOrOneHundredSixtyAsciiCharacters) {
    auto times = [](const char* utf8, int n) {
        std::string s;
        for (int k = 0; k < n; ++k) s += platform::codepage::utf8ToGbk(utf8);
        return s;
    };
    const std::pair<std::string, int> rows[] = {
        {times("㐀", 70), 1}, {times("㐀", 71), 2},  {times("😀", 35), 1},
        {times("😀", 36), 2},  {times("中", 134), 2}, {times("中", 135), 3},
        {times("a", 160), 1}, {times("a", 161), 2},  {times("a", 307), 3},
    };
    for (const auto& [text, parts] : rows)
        EXPECT_EQ(LongTexts::partCount(text), parts) << text.size();
}

TEST_F(Receiving, EmptyAnswerFilesAndDeletesNothing) {
    receive(1, 3, "");
    EXPECT_EQ(inbox().size(), 0);
    EXPECT_EQ(lib.count(Op::DelSMSMessage), 0);
    EXPECT_EQ(frame.count(UM_NEWMESSAGE), 0);
}

TEST_F(Receiving, ErrorAnswerIsReadAgainAndThenFiled) {
    lib.fire(259, "4", 1);
    const int first = lib.lastResult(Op::GetSMSMessage);
    lib.fire(261, "ERROR", first);
    loop.runUntilIdle();
    EXPECT_EQ(lib.count(Op::GetSMSMessage), 1);
    loop.advance(1000);
    ASSERT_EQ(lib.count(Op::GetSMSMessage), 2);
    lib.fire(261, smsText("10010", "030215093007", "again").c_str(),
             lib.lastResult(Op::GetSMSMessage));
    loop.runUntilIdle();
    ASSERT_EQ(inbox().size(), 1);
    EXPECT_EQ(inbox().row(0).rec.text(), "again");
}

TEST_F(Receiving, RefusedReadIsGivenUpAfterOneMoreTry) {
    lib.queueResults(Op::GetSMSMessage, {-1, -1});
    lib.fire(259, "4", 1);
    loop.runUntilIdle();
    EXPECT_EQ(lib.count(Op::GetSMSMessage), 2);
    EXPECT_EQ(inbox().size(), 0);
    EXPECT_EQ(lib.count(Op::DelSMSMessage), 0);
}

TEST_F(Receiving, FailedSaveKeepsTheMessageOnTheSim) {
    // A directory where the temporary file should go makes the save fail.
    std::filesystem::create_directories(dir.path / "data" / "InBox.db.tmp" / "x");
    receive(1, 5, smsText("10010", "030215093007", "keep me"));
    EXPECT_EQ(inbox().size(), 1);
    EXPECT_EQ(lib.count(Op::DelSMSMessage), 0);
    ASSERT_EQ(store->simCache().size(), 1);
    EXPECT_EQ(store->simCache().records()[0].status(), "5/1");
}

TEST_F(Receiving, ListingFillsTheCacheAndSkipsFiledMessagesAfterACrash) {
    // Filed and saved, then the program died before the SIM copy went.
    receive(1, 2, smsText("10010", "030215093007", "once"));
    ASSERT_EQ(inbox().size(), 1);
    openStore();
    ASSERT_EQ(inbox().size(), 1);
    lib.clearCalls();

    lib.fire(264, "2", 1);  // the filed one
    lib.fire(261, smsText("10010", "030215093007", "once").c_str(),
             lib.lastResult(Op::GetSMSMessage));
    lib.fire(264, "3", 1);  // one that came while the program was not running
    lib.fire(261, smsText("10086", "030216101010", "later").c_str(),
             lib.lastResult(Op::GetSMSMessage));
    lib.fire(264, nullptr, 1);
    loop.runUntilIdle();

    EXPECT_EQ(inbox().size(), 1);
    ASSERT_EQ(store->simCache().size(), 1);
    EXPECT_EQ(store->simCache().records()[0].status(), "3/1");
    EXPECT_EQ(store->simCache().records()[0].text(), "later");
    EXPECT_EQ(messageCount(1), 1);
    auto dels = lib.calls(Op::DelSMSMessage);
    ASSERT_EQ(dels.size(), 1u);
    EXPECT_EQ(dels[0].b, 2);
    EXPECT_EQ(receiver->duplicatesDeleted(), 1);
    EXPECT_TRUE(link->devices().messagesListed(1));
}

TEST_F(Receiving, WithSaveInCardListedCopiesOfFiledMessagesStay) {
    settings.SaveInCard = 1;
    inbox().append(storetest::rec("10010", "kept", "", "2003-02-15", "09:30:07"));
    lib.fire(264, "6", 2);
    lib.fire(261, smsText("10010", "030215093007", "kept").c_str(),
             lib.lastResult(Op::GetSMSMessage));
    loop.runUntilIdle();
    EXPECT_EQ(lib.count(Op::DelSMSMessage), 0);
    ASSERT_EQ(store->simCache().size(), 1);
    EXPECT_EQ(store->simCache().records()[0].status(), "6/2");
}

TEST_F(Receiving, DeletionsFailingAreAskedAgainRefusedOnesReported) {
    settings.SaveInCard = 1;
    receive(1, 8, smsText("10010", "030215093007", "x"));
    ASSERT_EQ(messageCount(1), 1);
    frame.got.clear();
    loop.post(&frame, UM_DELETESIMMESSAGE, 1, 8);
    loop.runUntilIdle();
    const int first = lib.lastResult(Op::DelSMSMessage);
    lib.fire(262, "ERROR", first);
    loop.runUntilIdle();
    EXPECT_EQ(lib.count(Op::DelSMSMessage), 1);  // not at once: after a pause
    loop.advance(1000);
    auto dels = lib.calls(Op::DelSMSMessage);
    ASSERT_EQ(dels.size(), 2u);
    EXPECT_EQ(dels[1].a, 1);
    EXPECT_EQ(dels[1].b, 8);
    EXPECT_FALSE(link->pending().find(first));
    EXPECT_EQ(store->simCache().size(), 1);

    lib.fire(262, "OK", dels[1].result);
    loop.runUntilIdle();
    EXPECT_EQ(store->simCache().size(), 0);
    EXPECT_EQ(messageCount(1), 0);

    lib.setResult(Op::DelSMSMessage, -1);
    loop.send(&frame, UM_DELETESIMMESSAGE, 1, 8);
    EXPECT_EQ(boxIds(), std::vector<unsigned>{60012});
    EXPECT_EQ(lib.count(Op::DelSMSMessage), 3);  // not retried
}

TEST_F(Receiving, WithoutDelSMSMessageTheProgramErrorIsShown) {
    link.reset();
    link = std::make_unique<DeviceLink>(loop, nullptr, lib.tableWithout({Op::DelSMSMessage}), book,
                                        ports, boxes, &frame);
    openStore();
    loop.send(&frame, UM_DELETESIMMESSAGE, 1, 1);
    EXPECT_EQ(boxIds(), std::vector<unsigned>{60010});
    EXPECT_EQ(boxes.shown[0].icon, platform::MbIcon::Exclamation);
}

TEST_F(Receiving, KeepRecordAppendsACopyAndSavesIt) {
    MessageRecord r = storetest::rec("10010", "from sim");
    loop.send(&frame, UM_KEEPRECORD, 1, reinterpret_cast<platform::LPARAM>(&r));
    r.setText("reused");
    ASSERT_EQ(inbox().size(), 1);
    EXPECT_EQ(inbox().row(0).rec.text(), "from sim");
    EXPECT_EQ(storetest::readFile(MailboxFilePath(dir.path, InBox)).size(), sizeof(MessageRecord));
    // wParam 0 is the phonebook's kept copy, not receiving's.
    EXPECT_FALSE(receiver->handleMessage(platform::Message{UM_KEEPRECORD, 0, 0, nullptr}));
}

TEST_F(Receiving, SoundPlaysOnlyWhenSwitchedOn) {
    settings.Sound = 1;
    loop.send(&frame, UM_NEWMESSAGE, 0, 0);
    settings.Sound = 0;
    loop.send(&frame, UM_NEWMESSAGE, 1, 0);
    EXPECT_TRUE(played.empty());

    // Looked up below the current directory first.
    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(dir.path);
    storetest::writeFile(dir.path / "sounds" / "msg.wav", "RIFF");
    loop.send(&frame, UM_NEWMESSAGE, 0, 0);
    std::filesystem::current_path(old);
    ASSERT_EQ(played.size(), 1u);
    EXPECT_EQ(played[0], "sounds/msg.wav");
}

}  // namespace
}  // namespace msgdesk::test

namespace msgdesk::test {
namespace {

// One desktop notification per new message, also when the SIM keeps a copy
// and with the sound off; none for an empty answer or the start-up listing.
TEST_F(Receiving, EachNewMessageIsNotifiedListedOnesAreNot) {
    names["13800138000"] = "Zhang";
    receive(2, 7, smsText("8613800138000", "030215093007", "see you at five"));
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].summary, "Zhang");
    EXPECT_EQ(notices[0].body, "see you at five");
    settings.SaveInCard = 1;
    receive(1, 3, smsText("10086", "030215093008", "balance"));
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[1].summary, "10086");
    receive(1, 4, "");
    EXPECT_EQ(notices.size(), 2u);

    lib.fire(264, "5", 1);
    lib.fire(261, smsText("10010", "030216101010", "old").c_str(),
             lib.lastResult(Op::GetSMSMessage));
    lib.fire(264, nullptr, 1);
    loop.runUntilIdle();
    EXPECT_EQ(store->simCache().size(), 2);  // the listed one was filed ...
    EXPECT_EQ(notices.size(), 2u);           // ... without a notification
}

}  // namespace
}  // namespace msgdesk::test
