// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstring>

#include "msgdesk/recvsend/RecvSendFixture.h"
#include "store/MailboxFiles.h"

namespace msgdesk::test {
namespace {

class Sending : public RecvSendTest {
protected:
    int sends() { return lib.count(Op::SendSMSMessage); }
    int lastSendId() { return lib.lastResult(Op::SendSMSMessage); }
    // "number:status" of each record in the mailbox's file, as a crash now
    // would leave it.
    std::vector<std::string> onDisk(MailboxId id) {
        const std::string bytes = storetest::readFile(MailboxFilePath(dir.path, id));
        std::vector<std::string> out;
        for (size_t at = 0; at + sizeof(MessageRecord) <= bytes.size();
             at += sizeof(MessageRecord)) {
            MessageRecord r;
            std::memcpy(static_cast<void*>(&r), bytes.data() + at, sizeof r);
            out.push_back(r.number() + ":" + r.status());
        }
        return out;
    }
};

using Strings = std::vector<std::string>;

// No virtual time passes here: what is on disk was saved by the handlers
// themselves, not by the 2 s change save.
TEST_F(Sending, HandOverAndEveryResultAreOnDiskBeforeTheHandlerReturns) {
    loop.clock().setLocal(platform::LocalTime{2026, 3, 4, 9, 5, 7});
    settings.Resend = 2;
    lib.queueResults(Op::SendSMSMessage, {41, 42, 43});
    compose({"1001", "1002", "1003"});
    EXPECT_EQ(onDisk(OutBox), (Strings{"1001:41", "1002:42", "1003:43"}));
    EXPECT_EQ(onDisk(SentBox), Strings{});

    loop.clock().setLocal(platform::LocalTime{2026, 3, 4, 9, 5, 9});
    answer(42, "OK");
    EXPECT_EQ(onDisk(OutBox), (Strings{"1001:41", "1003:43"}));
    EXPECT_EQ(onDisk(SentBox), Strings{"1002:"});
    const std::string sent = storetest::readFile(MailboxFilePath(dir.path, SentBox));
    MessageRecord r;
    std::memcpy(static_cast<void*>(&r), sent.data(), sizeof r);
    EXPECT_EQ(r.time(), " 9:05:09");  // the time of the result, not of the hand-over

    answer(43, "TIMEOUT");
    EXPECT_EQ(onDisk(OutBox), (Strings{"1001:41", "1003:"}));
    lib.queueResults(Op::SendSMSMessage, {44});
    answer(41, "ERROR");  // the batch ends; 1001 is handed over again at once
    EXPECT_EQ(onDisk(OutBox), (Strings{"1001:44", "1003:"}));
    EXPECT_EQ(onDisk(SentBox), Strings{"1002:"});
}

TEST_F(Sending, AlwaysFailingMessageIsSentResendTimesThenGivenUp) {
    settings.Resend = 5;
    compose({"10010"});
    for (int i = 1; i <= 5; ++i) {
        ASSERT_EQ(sends(), i);
        EXPECT_TRUE(pump->sendBatchRunning());
        EXPECT_EQ(outbox().row(0).rec.status(), std::to_string(lastSendId()));
        answer(lastSendId(), "ERROR");
    }
    EXPECT_EQ(sends(), 5);
    EXPECT_FALSE(pump->sendBatchRunning());
    EXPECT_EQ(outbox().row(0).attempts, "5");
    EXPECT_EQ(outbox().row(0).rec.Icon, 17);
    EXPECT_EQ(outbox().row(0).rec.status(), "");
    EXPECT_EQ(pump->sendTotals(), (std::pair<int, int>{0, 1}));
    EXPECT_EQ(animations, 5);
    // Another request leaves it alone.
    loop.send(&frame, UM_SENDQUEUE);
    EXPECT_EQ(sends(), 5);
}

TEST_F(Sending, TimeOutGivesUpAtOnceUntilTheResendCommand) {
    compose({"10010"});
    answer(lastSendId(), "TIMEOUT");
    EXPECT_EQ(sends(), 1);
    EXPECT_EQ(outbox().row(0).rec.Icon, 18);
    EXPECT_EQ(outbox().row(0).attempts, "5");
    EXPECT_FALSE(pump->sendBatchRunning());
    EXPECT_EQ(pump->sendTotals(), (std::pair<int, int>{0, 1}));

    pump->resend({0});
    EXPECT_EQ(sends(), 2);
    EXPECT_EQ(outbox().row(0).rec.Icon, 0);
    EXPECT_EQ(outbox().row(0).attempts, "");
    answer(lastSendId(), "OK");
    EXPECT_EQ(outbox().size(), 0);
    EXPECT_EQ(pump->sendTotals(), (std::pair<int, int>{1, 0}));
}

TEST_F(Sending, TwoOkAndOneErrorStartTheNextBatchAtOnce) {
    compose({"1001", "1002", "1003"});
    auto ids = sendIds();
    ASSERT_EQ(ids.size(), 3u);
    EXPECT_EQ(pump->batchSize(), 3);
    answer(ids[0], "OK");
    answer(ids[2], "OK");
    EXPECT_EQ(sends(), 3);
    EXPECT_FALSE(pump->batchComplete());
    answer(ids[1], "ERROR");
    ASSERT_EQ(sends(), 4);
    EXPECT_EQ(lib.calls(Op::SendSMSMessage)[3].s1, "1002");
    EXPECT_EQ(pump->batchSize(), 1);
    EXPECT_TRUE(pump->sendBatchRunning());
    EXPECT_EQ(outbox().row(0).attempts, "1");
    ASSERT_EQ(sentbox().size(), 2);
    EXPECT_EQ(sentbox().row(0).rec.number(), "1001");
    EXPECT_EQ(sentbox().row(1).rec.number(), "1003");
}

// Status keeps 6 digits: two ids of seven digits look alike there. Results
// find their rows by the full id kept beside the row.
TEST_F(Sending, SevenDigitIdsFindTheirRows) {
    lib.queueResults(Op::SendSMSMessage, {1234567, 1234568, 999999});
    compose({"1001", "1002", "1003"});
    EXPECT_EQ(outbox().row(0).rec.status(), "123456");
    EXPECT_EQ(outbox().row(1).rec.status(), "123456");
    EXPECT_EQ(outbox().row(2).rec.status(), "999999");  // the last id that fits
    answer(1234568, "OK");
    ASSERT_EQ(sentbox().size(), 1);
    EXPECT_EQ(sentbox().row(0).rec.number(), "1002");
    answer(123456, "OK");  // the cut text is no id
    EXPECT_EQ(sentbox().size(), 1);
    answer(999999, "OK");
    answer(1234567, "ERROR");
    EXPECT_EQ(sentbox().size(), 2);
    ASSERT_EQ(outbox().size(), 1);
    EXPECT_EQ(outbox().row(0).rec.number(), "1001");
    EXPECT_EQ(outbox().row(0).attempts, "1");
    EXPECT_EQ(pump->sentTotal(), 2);
    EXPECT_EQ(sends(), 4);  // the batch ended and 1001 went again
}

TEST_F(Sending, ResultForAnUnknownIdChangesNothing) {
    compose({"1001"});
    answer(99999, "OK");
    EXPECT_EQ(sentbox().size(), 0);
    EXPECT_EQ(outbox().size(), 1);
    EXPECT_TRUE(pump->sendBatchRunning());
    EXPECT_EQ(pump->sentTotal(), 0);
}

TEST_F(Sending, ComposedDuringABatchGoInTheNextOne) {
    compose({"1001", "1002"});
    auto first = sendIds();
    compose({"2001", "2002", "2003"});
    EXPECT_EQ(sends(), 2);  // the running batch comes first
    answer(first[0], "OK");
    EXPECT_EQ(sends(), 2);
    answer(first[1], "OK");
    ASSERT_EQ(sends(), 5);
    auto calls = lib.calls(Op::SendSMSMessage);
    EXPECT_EQ(calls[2].s1, "2001");
    EXPECT_EQ(calls[4].s1, "2003");
    EXPECT_EQ(calls[4].s2, "hello");
    EXPECT_EQ(pump->batchSize(), 3);
}

TEST_F(Sending, SentBoxStampHasABlankBeforeASingleDigitHour) {
    loop.clock().setLocal(platform::LocalTime{2026, 3, 4, 9, 5, 7});
    compose({"1001"});
    answer(lastSendId(), "OK");
    ASSERT_EQ(sentbox().size(), 1);
    const MessageRecord& r = sentbox().row(0).rec;
    EXPECT_EQ(r.time(), " 9:05:07");
    EXPECT_EQ(r.date(), "2026-03-04");
    EXPECT_EQ(r.status(), "");
    EXPECT_EQ(r.text(), "hello");
}

TEST_F(Sending, SavedSendIdIsSentAgainAfterRestart) {
    storetest::writeFile(MailboxFilePath(dir.path, OutBox),
                         storetest::recordBytes(storetest::rec("1001", "queued", "1234")));
    openStore();
    ASSERT_EQ(outbox().size(), 1);
    loop.send(&frame, UM_SENDQUEUE);
    ASSERT_EQ(sends(), 1);
    EXPECT_EQ(outbox().row(0).rec.status(), std::to_string(lastSendId()));
    answer(1234, "OK");  // the id of the last run means nothing now
    EXPECT_EQ(sentbox().size(), 0);
    answer(lastSendId(), "OK");
    EXPECT_EQ(sentbox().size(), 1);
    EXPECT_EQ(outbox().size(), 0);
}

TEST_F(Sending, OtherAnswerCountsAsAFailedAttempt) {
    compose({"1001"});
    answer(lastSendId(), "+CMS ERROR: 500");
    EXPECT_EQ(outbox().row(0).attempts, "1");
    EXPECT_EQ(sends(), 2);  // the batch ended and the next one started
    EXPECT_TRUE(pump->sendBatchRunning());
}

TEST_F(Sending, RefusedRowsWaitWithoutCountingAsFailures) {
    lib.queueResults(Op::SendSMSMessage, {-1, FakeDeviceLibrary::kAutoId});
    compose({"1001", "1002"});
    EXPECT_EQ(pump->batchSize(), 1);
    EXPECT_EQ(outbox().row(0).rec.status(), "");
    EXPECT_EQ(outbox().row(0).attempts, "");
    answer(lastSendId(), "OK");
    // The refused one is asked again at once.
    ASSERT_EQ(sends(), 3);
    EXPECT_EQ(lib.calls(Op::SendSMSMessage)[2].s1, "1001");
    // A library that refuses everything ends with no batch.
    lib.setResult(Op::SendSMSMessage, -1);
    answer(lastSendId(), "ERROR");
    EXPECT_FALSE(pump->sendBatchRunning());
    EXPECT_EQ(pump->batchSize(), 0);
}

TEST_F(Sending, TakingAMessageBackCanEndTheBatch) {
    compose({"1001", "1002"});
    auto ids = sendIds();
    answer(ids[0], "OK");
    frame.got.clear();
    outbox().removeRows({0});  // 1002 was taken back and deleted
    pump->lowerBatchSize();
    EXPECT_FALSE(pump->sendBatchRunning());
    EXPECT_TRUE(pump->batchComplete());
    EXPECT_EQ(frame.count(UM_SENDQUEUE), 0);  // all the rest went out

    // With a failure in it, the next batch follows through the frame's queue.
    compose({"2001", "2002"});
    ids = sendIds();
    answer(ids[2], "ERROR");
    outbox().removeRows({1});  // 2002 taken back
    pump->lowerBatchSize();
    EXPECT_EQ(sends(), 4);  // not from inside the caller
    loop.runUntilIdle();
    ASSERT_EQ(sends(), 5);
    EXPECT_EQ(lib.calls(Op::SendSMSMessage)[4].s1, "2001");
}

TEST_F(Sending, ComposeIntoAnEmptyOutBoxClearsAStuckBatch) {
    compose({"1001"});
    outbox().removeRows({0});  // gone without a result
    ASSERT_TRUE(pump->sendBatchRunning());
    compose({"1002"});
    EXPECT_EQ(sends(), 2);
    EXPECT_EQ(lib.calls(Op::SendSMSMessage)[1].s1, "1002");
}

TEST_F(Sending, NothingIsSentBeforeEveryCentreNumberIsRead) {
    link = std::make_unique<DeviceLink>(loop, nullptr, lib.table(), book, ports, boxes, &frame);
    openStore();
    connectAndPoll(2, false);
    lib.clearCalls();
    compose({"1001"});
    EXPECT_EQ(sends(), 0);
    EXPECT_FALSE(pump->sendBatchRunning());
}

TEST_F(Sending, BatchStartShowsTheSendingTextAndResultsTheTotals) {
    compose({"1001"});
    Trace t = frame.trace({UM_STATUSPANE});
    EXPECT_NE(std::find(t.begin(), t.end(),
                        std::pair<unsigned, std::pair<long, long>>{UM_STATUSPANE, {50013, 1}}),
              t.end());
    EXPECT_EQ(animations, 1);
    frame.got.clear();
    answer(lastSendId(), "OK");
    EXPECT_EQ(frame.trace({UM_STATUSPANE}), (Trace{{UM_STATUSPANE, {50010, 1}},
                                                   {UM_STATUSPANE, {50013, 2}},
                                                   {UM_STATUSPANE, {50010, 1}}}));
}

}  // namespace
}  // namespace msgdesk::test
