// SPDX-License-Identifier: GPL-3.0-or-later
// Calls coming and going: call notices, the answers table, the clock and
// duration on the virtual clock, the ring animation and the status poll.
#include "msgdesk/phone/PhoneFixture.h"

namespace msgdesk::test {
namespace {

using namespace phone;

TEST_F(PhoneTest, IncomingCallRingsAnswersAndEndsWithTheDurationInTheRightmostCells) {
    deviceCount = 2;
    callNotify(2, "13912345678");
    EXPECT_TRUE(phone->ringing());
    EXPECT_EQ(phone->deviceText(), "02");
    EXPECT_EQ(phone->incoming().entry(0), "13912345678");
    EXPECT_EQ(cells(), "    13912345678");
    EXPECT_EQ(phone->status(), "来电        ");
    std::vector<int> frames;
    for (int i = 0; i < 5; ++i) {
        loop.advance(500);
        frames.push_back(phone->ringFrame());
    }
    EXPECT_EQ(frames, (std::vector<int>{701, 702, 703, 704, 701}));
    callNotify(2, "10000");  // rings again: the first caller stays
    EXPECT_EQ(phone->incoming().count(), 1);

    phone->dialOrAnswer();
    EXPECT_EQ(frame.ops(), (std::vector<int>{OP_BEGIN, OP_ATTACH}));
    EXPECT_EQ(frame.commands[1].req.device, 2);
    EXPECT_EQ(phone->ringFrame(), 700);
    loop.advance(1000);
    EXPECT_EQ(phone->ringFrame(), 700);  // the animation stopped
    result(OP_ATTACH, RESULT_OK);
    EXPECT_TRUE(phone->inCall());
    EXPECT_FALSE(phone->ringing());
    EXPECT_EQ(phone->status(), "已接通    ");

    // The call came up half-way between two clock ticks.
    loop.advance((3600 + 2 * 60 + 3) * 1000 + 500);
    EXPECT_EQ(phone->clockText(), "01:02:03");
    frame.commands.clear();
    callNotify(18);
    EXPECT_FALSE(phone->inCall() || phone->ringing() || phone->dialling() || phone->timing());
    EXPECT_EQ(frame.ops(), (std::vector<int>{OP_END}));
    EXPECT_EQ(cells(), "       01:02:03");
    EXPECT_EQ(PhoneDialogCore::cellPicture(phone->cells()[9]), IDB_CELL_COLON);
    EXPECT_EQ(phone->status(), "已挂机    ");
    EXPECT_EQ(phone->duration(), 0);
}

TEST_F(PhoneTest, ACallFromBeforeMidnightLastsTwentySeconds) {
    loop.clock().setLocal({2026, 12, 31, 23, 59, 50});
    loop.advance(1000);
    EXPECT_EQ(phone->clockText(), "23:59:51");
    callNotify(1, "10086");
    loop.clock().setLocal({2026, 12, 31, 23, 59, 50});
    phone->dialOrAnswer();
    result(OP_ATTACH, RESULT_OK);
    loop.advance(20000);
    EXPECT_EQ(loop.clock().localNow().hour, 0);
    EXPECT_EQ(phone->clockText(), "00:00:20");
    phone->hangUp();
    EXPECT_EQ(frame.commands.back().op, OP_UNATTACH);
    result(OP_UNATTACH, RESULT_OK);
    EXPECT_EQ(cells(), "       00:00:20");
    EXPECT_EQ(phone->status(), "已挂机    ");
    loop.advance(1000);
    EXPECT_EQ(phone->clockText(), "00:00:11");  // the time of day again
}

TEST_F(PhoneTest, TheStatusPollFindsAnOutgoingCallUpAndStopsWhileHidden) {
    typeDigits("10086");
    phone->dialOrAnswer();
    loop.advance(3000);
    EXPECT_EQ(frame.count(OP_QUERYSTATUS), 3);
    phone->hide();
    EXPECT_FALSE(phone->clockRunning());
    loop.advance(5000);
    EXPECT_EQ(frame.count(OP_QUERYSTATUS), 3);
    phone->shown();
    loop.advance(1000);
    EXPECT_EQ(frame.count(OP_QUERYSTATUS), 4);
    for (auto [code, word] :
         std::vector<std::pair<int, std::string>>{{1, "多方会议"},
                                                  {2, "拨号中    "},
                                                  {3, "              "},
                                                  {4, "新来电    "},
                                                  {5, "呼叫等待"},
                                                  {RESULT_ERROR, "              "}}) {
        result(OP_QUERYSTATUS, code);
        EXPECT_EQ(phone->status(), word) << code;
    }
    EXPECT_TRUE(phone->dialling());
    result(OP_QUERYSTATUS, 0);
    EXPECT_FALSE(phone->dialling());
    EXPECT_TRUE(phone->inCall());
    EXPECT_EQ(phone->status(), "已接通    ");
    loop.advance(3000);
    EXPECT_EQ(frame.count(OP_QUERYSTATUS), 4);  // no poll in a call
    EXPECT_EQ(phone->clockText(), "00:00:03");
}

TEST_F(PhoneTest, ALateCallUpAnswerAfterTheCallEndedRaisesNoCall) {
    result(OP_QUERYSTATUS, 0);
    EXPECT_FALSE(phone->inCall());
    EXPECT_FALSE(phone->timing());
}

TEST_F(PhoneTest, FailedAndTimedOutAnswers) {
    // A refused dial answered at once ends on the failure word.
    frame.onCommand = [&](int op) {
        if (op == OP_DIALUP) result(OP_DIALUP, RESULT_ERROR);
    };
    typeDigits("10086");
    phone->dialOrAnswer();
    frame.onCommand = nullptr;
    EXPECT_FALSE(phone->dialling());
    EXPECT_EQ(phone->status(), "拨号失败");
    EXPECT_EQ(frame.ops(), (std::vector<int>{OP_BEGIN, OP_DIALUP, OP_END}));

    callNotify(1, "10000");
    phone->dialOrAnswer();
    frame.commands.clear();
    result(OP_ATTACH, RESULT_TIMEOUT);
    EXPECT_EQ(frame.ops(), (std::vector<int>{OP_ATTACH}));
    result(OP_ATTACH, RESULT_ERROR);
    EXPECT_EQ(phone->status(), "接听失败");
    EXPECT_TRUE(phone->ringing());
    callNotify(17);
    frame.commands.clear();
    result(OP_ATTACH, RESULT_TIMEOUT);  // the call is gone: not answered again
    EXPECT_TRUE(frame.commands.empty());

    connectOutgoing("10086");
    phone->hangUp();
    frame.commands.clear();
    result(OP_UNATTACH, RESULT_TIMEOUT);
    EXPECT_EQ(frame.ops(), (std::vector<int>{OP_UNATTACH}));
    result(OP_UNATTACH, RESULT_ERROR);
    EXPECT_EQ(phone->status(), "挂机失败");
    EXPECT_TRUE(phone->inCall());

    // A volume answer ends the phone's audio only when no call is on.
    frame.commands.clear();
    result(OP_SETVOLUME, RESULT_OK);
    EXPECT_TRUE(frame.commands.empty());
    callNotify(17);
    frame.commands.clear();
    result(OP_SETVOLUME, RESULT_ERROR);
    EXPECT_EQ(frame.ops(), (std::vector<int>{OP_END}));
    // Tones' answers and unknown operations only blank the status.
    result(OP_DIALEXT, RESULT_OK);
    EXPECT_EQ(phone->status(), "              ");
}

}  // namespace
}  // namespace msgdesk::test
