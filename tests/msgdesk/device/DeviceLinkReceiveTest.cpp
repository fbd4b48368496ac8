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

TEST_F(ReceiveEvents, ErrorAnswerToAReadIsRequestedAgain) {
    lib.fire(259, "9", 1);
    const int first = lib.lastResult(Op::GetSMSMessage);
    lib.fire(261, "ERROR", first);
    auto reads = lib.calls(Op::GetSMSMessage);
    ASSERT_EQ(reads.size(), 2u);
    EXPECT_EQ(reads[1].a, 1);
    EXPECT_EQ(reads[1].b, 9);
    EXPECT_FALSE(link->pending().find(first));
    EXPECT_EQ(link->pending().find(reads[1].result)->device, 1);

    lib.queueResults(Op::GetSMSMessage, {-1});
    lib.fire(261, "TIMEOUT", reads[1].result);
    EXPECT_TRUE(link->pending().find(reads[1].result));  // stays until disconnect
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
    EXPECT_EQ(link->pendingReadRetries(), 1u);
    loop.advance(3 * kSimReadRetryMs);
    EXPECT_EQ(lib.count(Op::GetSMSMessage), 4);
    lib.queueResults(Op::GetSMSMessage, {77});
    loop.advance(kSimReadRetryMs);
    EXPECT_EQ(link->pendingReadRetries(), 0u);
    EXPECT_EQ(link->pending().find(77)->device, 18);
    EXPECT_EQ(link->pending().find(77)->text, "13");
    EXPECT_FALSE(loop.timerActive(link.get(), TIMER_SIM_READ_RETRY));

    // One that keeps failing is given up after a bounded number of tries.
    lib.clearCalls();
    lib.fire(264, "14", 1);
    loop.advance(30 * kSimReadRetryMs);
    EXPECT_EQ(lib.count(Op::GetSMSMessage), 1 + kSimReadRetries);
    EXPECT_EQ(link->pendingReadRetries(), 0u);
}

TEST_F(ReceiveEvents, ListingEndAndErrorsAndDisconnectDropRetries) {
    lib.fire(264, "ERROR", 1);
    EXPECT_EQ(lib.count(Op::GetSMSMessage), 0);
    lib.setResult(Op::GetSMSMessage, -1);
    lib.fire(264, "5", 1);
    loop.runUntilIdle();
    ASSERT_EQ(link->pendingReadRetries(), 1u);
    link->disconnect();
    loop.advance(300);
    EXPECT_EQ(link->pendingReadRetries(), 0u);
    EXPECT_FALSE(loop.timerActive(link.get(), TIMER_SIM_READ_RETRY));
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
