// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "msgdesk/FakeDeviceLibrary.h"
#include "msgdesk/shell/CoreFrameFixture.h"
#include "msgdesk/store/StoreTestSupport.h"
#include "platform/ManualMessageLoop.h"
#include "platform/Registry.h"
#include "shell/MainFrameCore.h"
#include "types/Commands.h"

namespace msgdesk::test {
namespace {

using Op = FakeDeviceLibrary::Op;

// Receiving and the send pump as the assembled main frame runs them.
class MainFrameReceiveSend : public CoreFrameFixture {
protected:
    void SetUp() override {
        connect(1);
        core->settings().Sound = 1;
        ASSERT_TRUE(core->link().linkActive());
        lib.clearCalls();
    }
};

TEST_F(MainFrameReceiveSend, ReceivedMessageIsFiledAndItsSimCopyDeleted) {
    lib.fire(259, "3", 1);
    lib.fire(261, "\"10086\",\"030215093007\",\"hi\"", lib.lastResult(Op::GetSMSMessage));
    loop.runUntilIdle();
    ASSERT_EQ(core->store().box(InBox).size(), 1);
    EXPECT_EQ(core->store().box(InBox).row(0).rec.status(), "NEW");
    ASSERT_EQ(lib.count(Op::DelSMSMessage), 1);
    const int del = lib.lastResult(Op::DelSMSMessage);
    ASSERT_TRUE(core->link().pending().find(del));
    lib.fire(262, "OK", del);
    loop.runUntilIdle();
    EXPECT_FALSE(core->link().pending().find(del));
}

TEST_F(MainFrameReceiveSend, ComposedMessageIsSentAndTheResultShown) {
    core->sendPump().appendComposed({storetest::rec("10010", "hello")});
    loop.runUntilIdle();
    ASSERT_EQ(lib.count(Op::SendSMSMessage), 1);
    EXPECT_TRUE(core->sendBatchRunningHook());
    EXPECT_TRUE(loop.timerActive(core.get(), TIMER_SEND_ANIMATION));
    EXPECT_EQ(core->status().text(PANE_ACTIVITY), "正在发送短信息...");
    lib.fire(260, "OK", lib.lastResult(Op::SendSMSMessage));
    loop.advance(500);
    EXPECT_FALSE(loop.timerActive(core.get(), TIMER_SEND_ANIMATION));
    EXPECT_EQ(core->store().box(SentBox).size(), 1);
    EXPECT_EQ(core->status().text(PANE_ACTIVITY), "发送成功(1 条),失败(0 条)");
}

TEST_F(MainFrameReceiveSend, TakingBackFromTheOutBoxEndsTheBatch) {
    core->sendPump().appendComposed({storetest::rec("10010", "hello")});
    loop.runUntilIdle();
    lib.setResult(Op::DelMsgInBuff, 1);
    core->messageList().ShowMailbox(OutBox);
    core->store().box(OutBox).selectAll();
    core->messageList().deleteSelected();
    EXPECT_EQ(lib.count(Op::DelMsgInBuff), 1);
    EXPECT_FALSE(core->sendBatchRunningHook());
}

// After a disconnect the library no longer knows the ids it gave: a row
// handed over before is deleted without asking it back with a stale id.
TEST_F(MainFrameReceiveSend, IdsOfAClosedLinkAreNotAskedBack) {
    core->sendPump().appendComposed({storetest::rec("10010", "hello")});
    loop.runUntilIdle();
    ASSERT_EQ(lib.count(Op::SendSMSMessage), 1);
    core->command(cmd::Disconnect);
    loop.advance(1000);
    ASSERT_FALSE(core->link().linkActive());
    core->command(cmd::Connect);
    loop.runUntilIdle();
    ASSERT_TRUE(core->link().linkActive());
    core->messageList().ShowMailbox(OutBox);
    core->messageList().deleteSelected();
    EXPECT_EQ(lib.count(Op::DelMsgInBuff), 0);
    EXPECT_EQ(core->store().box(OutBox).size(), 0);
    EXPECT_EQ(core->store().box(DeleteBox).size(), 1);
}

// Restore and the resend command start the batch before they return, not
// from the frame's queue.
TEST_F(MainFrameReceiveSend, RestoreAndResendSendAtOnce) {
    core->store().AppendMessage(storetest::rec("10010", "back", "1"), DeleteBox);
    core->messageList().ShowMailbox(DeleteBox);
    core->command(cmd::Restore);
    ASSERT_EQ(lib.count(Op::SendSMSMessage), 1);
    lib.fire(260, "TIMEOUT", lib.lastResult(Op::SendSMSMessage));
    loop.runUntilIdle();
    ASSERT_EQ(core->store().box(OutBox).row(0).rec.Icon, SendPump::kIconTimedOut);

    core->messageList().ShowMailbox(OutBox);
    core->command(cmd::Resend);
    EXPECT_EQ(lib.count(Op::SendSMSMessage), 2);
    EXPECT_EQ(core->store().box(OutBox).row(0).rec.Icon, 0);
}

TEST_F(MainFrameReceiveSend, UnfinishedLongMessagesAreFiledWhenTheUserSaysSo) {
    EXPECT_FALSE(core->commandEnabled(cmd::FileWaitingParts));
    const auto part = [&](int index, const char* body, int ref, int no) {
        lib.fire(259, std::to_string(index).c_str(), 1);
        const std::string text = std::string("\"10086\",\"261207093001\",\"") + body + "\",\"" +
                                 std::to_string(ref) + ":" + std::to_string(no) + ":3\"";
        lib.fire(261, text.c_str(), lib.lastResult(Op::GetSMSMessage));
        loop.runUntilIdle();
    };
    part(1, "a1 ", 7, 1);
    part(2, " b3", 8, 3);
    ASSERT_TRUE(core->commandEnabled(cmd::FileWaitingParts));
    boxes.answers = {platform::IDNO};
    core->command(cmd::FileWaitingParts);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].stringId, 33202u);
    EXPECT_NE(boxes.shown[0].text.find("有 2 条长短信尚未收齐"), std::string::npos);
    EXPECT_EQ(core->store().box(InBox).size(), 0);

    core->command(cmd::FileWaitingParts);  // yes
    const Mailbox& in = core->store().box(InBox);
    ASSERT_EQ(in.size(), 2);
    EXPECT_EQ(in.row(0).rec.text(), "a1 \xA1\xAD");
    EXPECT_EQ(in.row(1).rec.text(), "\xA1\xAD b3");
    EXPECT_FALSE(core->commandEnabled(cmd::FileWaitingParts));
}

}  // namespace
}  // namespace msgdesk::test
