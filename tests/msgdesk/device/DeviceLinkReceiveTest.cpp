// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/ReceivedSms.h"
#include "msgdesk/device/DeviceLinkFixture.h"

namespace msgdesk::test {
namespace {

// Events about short messages: parsed here, handled by the receiving code.
class ReceiveEvents : public DeviceLinkTest {
protected:
    void SetUp() override {
        connectAndPoll(2);
        sink.got.clear();
        lib.clearCalls();
    }
    const ReceivedSms& record(size_t i) {
        auto all = sink.of(UM_SIMRECORD);
        EXPECT_GT(all.size(), i);
        return *reinterpret_cast<const ReceivedSms*>(all.at(i).lParam);
    }
};

TEST_F(ReceiveEvents, NewMessageIsReadThenPostedAsARecord) {
    lib.fire(259, "7", 2);
    auto reads = lib.calls(Op::GetSMSMessage);
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_EQ(reads[0].a, 2);
    EXPECT_EQ(reads[0].b, 7);
    EXPECT_EQ(link->pending().find(reads[0].result)->text, "7");
    lib.fire(261, "\"+8613800138000\",\"030215093007\",\"Hello, \"world\"", reads[0].result);
    loop.runUntilIdle();
    EXPECT_FALSE(link->pending().find(reads[0].result));
    ASSERT_EQ(sink.got.size(), 2u);
    EXPECT_EQ(sink.got[0].msg, UM_STATUSPANE);
    EXPECT_EQ(sink.got[0].wParam, 50013u);
    EXPECT_EQ(sink.got[0].lParam, 225);
    const ReceivedSms& r = record(0);
    EXPECT_EQ(r.device, 2);
    EXPECT_EQ(r.simIndex, 7);
    EXPECT_FALSE(r.fromSimListing);
    EXPECT_TRUE(r.hasText);
    EXPECT_EQ(r.number, "+8613800138000");
    EXPECT_EQ(r.date, "2003-02-15");
    EXPECT_EQ(r.time, "09:30:07");
    EXPECT_EQ(r.body, "Hello, ");
}

TEST_F(ReceiveEvents, RefusedNewMessageReadIsTriedOnceMore) {
    lib.queueResults(Op::GetSMSMessage, {-1, 55});
    lib.fire(259, "3", 1);
    EXPECT_EQ(lib.count(Op::GetSMSMessage), 2);
    EXPECT_TRUE(link->pending().find(55));
    lib.queueResults(Op::GetSMSMessage, {-1, -1});
    const size_t rows = link->pending().count();
    lib.fire(259, "4", 1);
    EXPECT_EQ(lib.count(Op::GetSMSMessage), 4);
    EXPECT_EQ(link->pending().count(), rows);
    loop.runUntilIdle();
    EXPECT_EQ(sink.of(UM_STATUSPANE).size(), 1u);
}

// A modem that answers every read of a position with an error (an empty
// position announced by a bogus notice, a PDU it cannot decode) is asked
// again after 1, 2, 4 ... at most 60 s, and given up after ten retries.
TEST_F(ReceiveEvents, ErrorAnswersToAReadAreAskedAgainAfterAGrowingPauseThenGivenUp) {
    lib.fire(259, "99", 1);
    int id = lib.lastResult(Op::GetSMSMessage);
    const unsigned pauses[] = {1000, 2000, 4000, 8000, 16000, 32000, 60000, 60000, 60000, 60000};
    for (int k = 0; k < 10; ++k) {
        lib.fire(261, k % 2 ? "TIMEOUT" : "ERROR: +CMS ERROR: 321", id);
        EXPECT_FALSE(link->pending().find(id));
        loop.runUntilIdle();
        EXPECT_EQ(lib.count(Op::GetSMSMessage), k + 1) << "asked again at once, retry " << k;
        loop.advance(pauses[k] - 1);
        EXPECT_EQ(lib.count(Op::GetSMSMessage), k + 1) << "too early, retry " << k;
        loop.advance(1);
        ASSERT_EQ(lib.count(Op::GetSMSMessage), k + 2) << "retry " << k;
        auto again = lib.calls(Op::GetSMSMessage).back();
        EXPECT_EQ(again.a, 1);
        EXPECT_EQ(again.b, 99);
        id = again.result;
        ASSERT_TRUE(link->pending().find(id));
        EXPECT_EQ(link->pending().find(id)->device, 1);
        EXPECT_EQ(link->pending().find(id)->failures, k + 1);
    }
    lib.fire(261, "ERROR", id);  // the eleventh failure: given up
    loop.runUntilIdle();
    loop.advance(600000);
    EXPECT_EQ(lib.count(Op::GetSMSMessage), 11);
    EXPECT_EQ(link->pendingRetries(), 0u);
    EXPECT_FALSE(loop.timerActive(link.get(), TIMER_RETRY));
    EXPECT_FALSE(link->pending().find(id));
}

TEST_F(ReceiveEvents, RetriesKeepTheirOwnScheduleAndStopWithTheirDevice) {
    lib.fire(259, "5", 1);
    const int a = lib.lastResult(Op::GetSMSMessage);
    lib.fire(259, "6", 2);
    const int b = lib.lastResult(Op::GetSMSMessage);
    lib.fire(261, "ERROR", a);
    loop.runUntilIdle();
    loop.advance(500);
    lib.fire(261, "ERROR", b);  // half a second later
    loop.runUntilIdle();
    EXPECT_EQ(link->pendingRetries(), 2u);
    loop.advance(500);
    ASSERT_EQ(lib.count(Op::GetSMSMessage), 3);
    EXPECT_EQ(lib.calls(Op::GetSMSMessage).back().b, 5);
    loop.advance(500);  // b waits at least its full second
    EXPECT_EQ(lib.count(Op::GetSMSMessage), 3);
    loop.advance(250);
    ASSERT_EQ(lib.count(Op::GetSMSMessage), 4);
    EXPECT_EQ(lib.calls(Op::GetSMSMessage).back().b, 6);

    // A refused retry counts as a failure and waits the next pause.
    lib.fire(261, "ERROR", lib.lastResult(Op::GetSMSMessage));  // b again: 2 s
    loop.runUntilIdle();
    lib.queueResults(Op::GetSMSMessage, {-1});
    loop.advance(2000);  // refused at 3.75 s
    EXPECT_EQ(lib.count(Op::GetSMSMessage), 5);
    loop.advance(3999);
    EXPECT_EQ(lib.count(Op::GetSMSMessage), 5);
    loop.advance(1);
    EXPECT_EQ(lib.count(Op::GetSMSMessage), 6);
    EXPECT_EQ(link->pending().find(lib.lastResult(Op::GetSMSMessage))->failures, 3);

    // The device goes away: its waiting retries go with it, the others stay.
    lib.fire(261, "ERROR", lib.lastResult(Op::GetSMSMessage));
    lib.fire(3842, "ERROR", 999);  // no row: nothing
    loop.runUntilIdle();
    ASSERT_EQ(link->pendingRetries(), 1u);
    ports.viewExists = false;
    lib.fire(1, nullptr, 2);
    loop.runUntilIdle();
    EXPECT_EQ(link->pendingRetries(), 0u);
    EXPECT_FALSE(loop.timerActive(link.get(), TIMER_RETRY));
    loop.advance(120000);
    EXPECT_EQ(lib.count(Op::GetSMSMessage), 6);
}

TEST_F(ReceiveEvents, ErrorAnswersToSimSizesAreAskedAgainLater) {
    // An absent or locked SIM answers both size queries with an error.
    link->pending().add(70, 2, "NULL");
    link->pending().add(71, 2, "NULL");
    lib.fire(3841, "ERROR", 70);
    lib.fire(3842, "ERROR: +CME ERROR: 10", 71);
    EXPECT_EQ(lib.count(Op::GetSimInfo), 0);
    EXPECT_FALSE(link->pending().find(70));
    loop.runUntilIdle();
    EXPECT_EQ(link->pendingRetries(), 2u);
    loop.advance(999);
    EXPECT_EQ(lib.count(Op::GetSimInfo), 0);
    loop.advance(251);  // the second waits for the tick after its full second
    auto calls = lib.calls(Op::GetSimInfo);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].a, 2);
    EXPECT_EQ(calls[0].b, 1);
    EXPECT_EQ(calls[1].b, 2);
    EXPECT_EQ(link->pending().find(calls[1].result)->failures, 1);
    lib.fire(3842, "\"SM\",3/40", calls[1].result);
    EXPECT_EQ(link->devices().slot(2).messageCapacity, 40);
}

TEST_F(ReceiveEvents, ListingReadsCarryTheSimFlagAndBoundedRetries) {
    lib.fire(264, "12", 2);
    auto reads = lib.calls(Op::GetSMSMessage);
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_EQ(link->pending().find(reads[0].result)->device, 18);
    lib.fire(261, "\"10086\",\"030215093007\",\"\"", reads[0].result);
    loop.runUntilIdle();
    const ReceivedSms& r = record(0);
    EXPECT_TRUE(r.fromSimListing);
    EXPECT_EQ(r.device, 2);
    EXPECT_EQ(r.simIndex, 12);
    EXPECT_EQ(r.body, "");  // a listing read cuts nothing out of "" (2 bytes)
    EXPECT_EQ(r.date, "2003-02-15");
    EXPECT_EQ(r.time, "09:30:07");

    // A refused read never spins on the library thread: it is handed over.
    lib.setResult(Op::GetSMSMessage, -1);
    lib.clearCalls();
    lib.fire(264, "13", 2);
    EXPECT_EQ(lib.count(Op::GetSMSMessage), 1);
    loop.runUntilIdle();
    EXPECT_EQ(link->pendingRetries(), 1u);
    loop.advance(1000 + 2000);
    EXPECT_EQ(lib.count(Op::GetSMSMessage), 3);
    lib.queueResults(Op::GetSMSMessage, {77});
    loop.advance(4000);
    EXPECT_EQ(link->pendingRetries(), 0u);
    EXPECT_EQ(link->pending().find(77)->device, 18);
    EXPECT_EQ(link->pending().find(77)->text, "13");
    EXPECT_FALSE(loop.timerActive(link.get(), TIMER_RETRY));

    // One that keeps failing is given up after a bounded number of tries.
    lib.clearCalls();
    lib.fire(264, "14", 1);
    loop.advance(3600000);
    EXPECT_EQ(lib.count(Op::GetSMSMessage), 1 + RetryQueue::kMaxRetries);
    EXPECT_EQ(link->pendingRetries(), 0u);
}

TEST_F(ReceiveEvents, ListingEndAndErrorsAndDisconnectDropRetries) {
    lib.fire(264, "ERROR", 1);
    EXPECT_EQ(lib.count(Op::GetSMSMessage), 0);
    lib.setResult(Op::GetSMSMessage, -1);
    lib.fire(264, "5", 1);
    loop.runUntilIdle();
    ASSERT_EQ(link->pendingRetries(), 1u);
    link->disconnect();
    loop.advance(300);
    EXPECT_EQ(link->pendingRetries(), 0u);
    EXPECT_FALSE(loop.timerActive(link.get(), TIMER_RETRY));
}

TEST_F(ReceiveEvents, EmptyReadAnswerIsPostedWithoutText) {
    lib.fire(259, "1", 1);
    lib.fire(261, "", lib.lastResult(Op::GetSMSMessage));
    loop.runUntilIdle();
    EXPECT_FALSE(record(0).hasText);
}

TEST_F(ReceiveEvents, DeleteAndSendAnswers) {
    lib.fire(262, "OK", 31);
    lib.fire(262, "ERROR", 32);
    lib.fire(260, "OK", 41);
    lib.fire(260, "ERROR", 42);
    lib.fire(260, "TIMEOUT", 43);
    lib.fire(260, "OK\r", 44);  // whole-string compare
    lib.fire(260, nullptr, 45);
    loop.runUntilIdle();
    EXPECT_EQ(sink.params(UM_SIMMESSAGES),
              (std::vector<std::pair<long, long>>{{224, 31}, {225, 32}}));
    EXPECT_EQ(sink.params(UM_SENDRESULT), (std::vector<std::pair<long, long>>{
                                              {224, 41}, {225, 42}, {258, 43}, {0, 44}, {0, 45}}));
}

TEST_F(ReceiveEvents, WithoutGetSMSMessageNothingHappens) {
    make(lib.tableWithout({Op::GetSMSMessage}));
    lib.setDeviceCount(1);
    link->connect();
    loop.runUntilIdle();
    sink.got.clear();
    lib.fire(259, "1", 1);
    lib.fire(264, nullptr, 1);
    link->pending().add(5, 1, "1");
    lib.fire(261, "\"1\",\"2\",\"3\"", 5);
    loop.runUntilIdle();
    EXPECT_TRUE(sink.got.empty());
    EXPECT_TRUE(link->pending().find(5));
}

TEST_F(ReceiveEvents, UnpluggedEventPostsDeviceRemoved) {
    link.reset();
    make();
    lib.setDeviceCount(1);
    link->connect();
    loop.runUntilIdle();
    ports.viewExists = false;
    lib.fire(1, nullptr, 1);
    EXPECT_EQ(loop.queued(), 1u);
    loop.runUntilIdle();
    EXPECT_FALSE(link->linkActive());
}

}  // namespace
}  // namespace msgdesk::test
