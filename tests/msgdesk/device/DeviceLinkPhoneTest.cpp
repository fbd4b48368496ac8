// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/PhoneRequest.h"
#include "msgdesk/device/DeviceLinkFixture.h"

namespace msgdesk::test {
namespace {

class PhoneCommands : public DeviceLinkTest {
protected:
    PhoneRequest req;
    void SetUp() override {
        connectAndPoll(2, false);
        req.device = 2;
        req.volume = 40;
        lib.clearCalls();
    }
    void command(int op) { send(UM_PHONECOMMAND, op, lp(&req)); }
    std::vector<std::pair<long, long>> phoneResults() const {
        std::vector<std::pair<long, long>> out;
        for (auto& m : ports.phone)
            if (m.msg == UM_PHONERESULT) out.emplace_back(static_cast<long>(m.wParam), m.lParam);
        return out;
    }
};

TEST_F(PhoneCommands, EachOperationCallsItsFunction) {
    req.setNumber("13800138000");
    req.setDigits("#");
    for (int op : {1, 2, 161, 162, 209, 210, 225, 226}) command(op);
    std::vector<Op> ops;
    for (auto& c : lib.calls()) {
        ops.push_back(c.op);
        EXPECT_EQ(c.a, 2);
    }
    EXPECT_EQ(ops,
              (std::vector<Op>{Op::DialUp, Op::DialExt, Op::AttachPhone, Op::UnattachPhone,
                               Op::BeginPhone, Op::EndPhone, Op::SetVolume, Op::QureyPhoneStatus}));
    EXPECT_EQ(lib.calls(Op::DialUp)[0].s1, "13800138000");
    EXPECT_EQ(lib.calls(Op::DialExt)[0].s1, "#");
    EXPECT_EQ(lib.calls(Op::SetVolume)[0].b, 40);
    EXPECT_EQ(ports.volume, 40);
    EXPECT_TRUE(ports.phone.empty());
}

TEST_F(PhoneCommands, HyphenatedNumberCallsAndSendsNothing) {
    req.setNumber("138-0013");
    command(1);
    req.setDigits("-");
    command(2);
    EXPECT_TRUE(lib.calls().empty());
    EXPECT_TRUE(ports.phone.empty());
}

TEST_F(PhoneCommands, RefusalsAreReportedToThePhoneDialog) {
    req.setNumber("+8610086");
    req.setDigits("5");
    for (Op op : {Op::DialUp, Op::DialExt, Op::AttachPhone, Op::UnattachPhone, Op::SetVolume,
                  Op::BeginPhone, Op::EndPhone, Op::QureyPhoneStatus})
        lib.setResult(op, -1);
    for (int op : {1, 2, 161, 162, 209, 210, 225, 226}) command(op);
    EXPECT_EQ(phoneResults(), (std::vector<std::pair<long, long>>{
                                  {1, 225}, {2, 225}, {161, 225}, {162, 225}, {225, 225}}));
    EXPECT_EQ(ports.volume, 40);  // the setting follows whatever the result
}

TEST_F(PhoneCommands, OutOfRangeNullOrUnboundDoNothing) {
    command(0);
    command(227);
    command(3);
    send(UM_PHONECOMMAND, 1, 0);
    EXPECT_TRUE(lib.calls().empty());
    make(lib.tableWithout({Op::SetVolume, Op::DialUp}));
    command(225);
    command(1);
    EXPECT_EQ(ports.volume, -1);
    EXPECT_TRUE(ports.phone.empty());
}

class CallEvents : public DeviceLinkTest {
protected:
    void SetUp() override { connectAndPoll(2, false); }
};

TEST_F(CallEvents, IncomingCallRingsShowsPhoneAndPassesCallerOn) {
    lib.fire(769, "13800138000", 2);
    loop.runUntilIdle();
    EXPECT_EQ(link->callerText(), "13800138000");
    EXPECT_EQ(ports.log, (std::vector<std::string>{"ring", "showphone"}));
    ASSERT_EQ(ports.phone.size(), 1u);
    EXPECT_EQ(ports.phone[0].msg, UM_CALLNOTIFY);
    EXPECT_EQ(ports.phone[0].wParam, 2u);
    EXPECT_EQ(ports.phoneCaller[0], "13800138000");

    lib.clearCalls();
    lib.fire(774, nullptr, 2);
    loop.runUntilIdle();
    ASSERT_EQ(lib.count(Op::EndPhone), 1);
    EXPECT_EQ(lib.calls(Op::EndPhone)[0].a, 2);
    EXPECT_EQ(ports.log.back(), "unring");
    ASSERT_EQ(ports.phone.size(), 2u);
    EXPECT_EQ(ports.phone[1].wParam, 18u);
    EXPECT_EQ(ports.phoneCaller[1], "13800138000");  // the last caller text
}

TEST_F(CallEvents, AnswersBecomePhoneResults) {
    lib.fire(770, "OK", 0);
    lib.fire(771, "TIMEOUT", 0);
    lib.fire(772, "OK", 0);
    lib.fire(773, "ERROR", 0);
    lib.fire(775, "whatever", 0);
    lib.fire(776, "\"3\"", 0);
    lib.fire(776, "\"7\"", 0);
    lib.fire(776, "OK", 0);
    lib.fire(776, "ERROR", 0);
    loop.runUntilIdle();
    std::vector<std::pair<long, long>> got;
    for (auto& m : ports.phone) got.emplace_back(static_cast<long>(m.wParam), m.lParam);
    EXPECT_EQ(got, (std::vector<std::pair<long, long>>{{1, 224},
                                                       {161, 258},
                                                       {162, 224},
                                                       {225, 225},
                                                       {2, 225},
                                                       {226, 3},
                                                       {226, 225},
                                                       {226, 224},
                                                       {226, 225}}));
    // Only the hang-up answer stops the ringing.
    EXPECT_EQ(ports.log, std::vector<std::string>{"unring"});
}

TEST_F(CallEvents, ResultsAreDroppedWithoutAPhoneDialog) {
    ports.phoneExists = false;
    lib.fire(772, "OK", 0);
    loop.runUntilIdle();
    send(UM_PHONERESULT, 99, 224);
    EXPECT_TRUE(ports.phone.empty());
    EXPECT_TRUE(ports.log.empty());
}

TEST_F(CallEvents, RefreshViewsReachesTheRightView) {
    send(UM_REFRESHVIEWS, 227, 0);
    send(UM_REFRESHVIEWS, 228, 0);
    send(UM_REFRESHVIEWS, 5, 0);
    EXPECT_EQ(ports.log, (std::vector<std::string>{"names", "contacts"}));
}

TEST_F(CallEvents, MessagesNotForTheLinkGoToTheSink) {
    sink.got.clear();
    send(UM_COMPOSE, 0, 1);
    send(UM_KEEPRECORD, 1, 1234);
    ASSERT_EQ(sink.got.size(), 2u);
    EXPECT_EQ(sink.got[1].msg, UM_KEEPRECORD);
    std::intptr_t r = 0;
    EXPECT_FALSE(link->handleMessage(platform::Message{UM_SENDRESULT, 224, 1, nullptr}, &r));
    EXPECT_TRUE(link->handleMessage(platform::Message{UM_REFRESHVIEWS, 227, 0, nullptr}, &r));
}

}  // namespace
}  // namespace msgdesk::test
