// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstring>

#include "compose/ComposeIds.h"
#include "msgdesk/FakeDeviceLibrary.h"
#include "msgdesk/shell/CoreFrameFixture.h"
#include "msgdesk/store/StoreTestSupport.h"
#include "platform/Codepage.h"
#include "platform/ManualMessageLoop.h"
#include "platform/Registry.h"
#include "shell/MainFrameCore.h"
#include "store/MailboxFiles.h"
#include "types/Commands.h"

namespace msgdesk::test {
namespace {

using Op = FakeDeviceLibrary::Op;

// A compose request as the assembled main frame handles it: UM_COMPOSE, the
// dialog (scripted here), the rows filed and the send pump started.
class ComposeFlow : public CoreFrameFixture {
protected:
    // What the scripted dialog does with its session; returns the button.
    std::function<int(ComposeSession&)> dialog = [](ComposeSession&) {
        return compose::IDC_CANCEL;
    };
    int dialogRuns = 0;

    void SetUp() override {
        loop.clock().setLocal({2026, 3, 4, 5, 6, 7});
        makeCore();
        core->composeDialogHook = [this](ComposeSession& s) {
            ++dialogRuns;
            return dialog(s);
        };
        connect(1);
        ASSERT_TRUE(core->link().linkActive());
        lib.clearCalls();
        addContact("Li", "13900000001");
        addContact("Wu, Jr", "13900000002");
    }
    void addContact(const char* name, const char* mobile) {
        auto c = NewContactRecord();
        c->setName(name);
        c->setMobile(mobile);
        core->contacts().AddContact(std::move(c));
    }
    void request(platform::Message m) {
        loop.post(core.get(), std::move(m));
        loop.runUntilIdle();
    }
    // Sends with the given recipients picked by name, and the extra number.
    void sendTo(std::vector<std::string> names, std::string extra, std::string text, int button) {
        dialog = [=](ComposeSession& s) {
            for (const auto& n : names) {
                auto row = s.model().search(n);
                if (row) s.model().addRecipients({*row});
            }
            return s.close(button, extra, text) ? button : compose::IDC_CANCEL;
        };
    }
    Mailbox& box(MailboxId id) { return core->store().box(id); }
};

TEST_F(ComposeFlow, ThreeRecipientsGiveThreeOutBoxRowsInOrderWithOneDateAndTheyAreSent) {
    loop.clock().setLocal({2026, 3, 4, 9, 5, 7});
    sendTo({"Wu", "Li"}, "10086", "hello", compose::IDC_SEND);
    core->messageList().ShowMailbox(OutBox);
    request(MakeComposeRequest("13800000000", 1));  // reply to an unknown number
    ASSERT_EQ(dialogRuns, 1);
    Mailbox& out = box(OutBox);
    ASSERT_EQ(out.size(), 4);
    const char* numbers[] = {"13800000000", "13900000002", "13900000001", "10086"};
    const char* contacts[] = {"", "Wu, Jr", "Li", ""};
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(out.row(r).rec.number(), numbers[r]);
        EXPECT_EQ(out.row(r).rec.contact(), contacts[r]);
        EXPECT_EQ(out.row(r).rec.text(), "hello");
        EXPECT_EQ(out.row(r).rec.date(), "2026-03-04");
        EXPECT_EQ(out.row(r).rec.time(), "09:05:07");
        EXPECT_EQ(out.row(r).rec.Icon, 0);
    }
    // The link is up: one batch hands all four to the library.
    EXPECT_EQ(lib.count(Op::SendSMSMessage), 4);
    EXPECT_TRUE(core->sendPump().sendBatchRunning());
    EXPECT_EQ(core->status().text(PANE_MAILBOX), "发短信箱 (4条信息)");
}

TEST_F(ComposeFlow, SendingWhileTheOutBoxIsEmptyClearsABatchLeftWithoutResults) {
    sendTo({}, "10010", "one", compose::IDC_SEND);
    request(MakeComposeRequest("", 1));
    ASSERT_EQ(lib.count(Op::SendSMSMessage), 1);
    ASSERT_TRUE(core->sendPump().sendBatchRunning());
    // The row leaves without a result (taken back), the batch stays open.
    box(OutBox).removeRows({0});
    request(MakeComposeRequest("", 1));
    EXPECT_EQ(lib.count(Op::SendSMSMessage), 2);
    // With a row still waiting, a new one waits for the running batch.
    request(MakeComposeRequest("", 1));
    EXPECT_EQ(lib.count(Op::SendSMSMessage), 2);
    EXPECT_EQ(box(OutBox).size(), 2);
}

TEST_F(ComposeFlow, WithTheLinkDownRowsWaitAndNoBatchIsAsked) {
    lib.setDeviceCount(0);
    core->command(cmd::Disconnect);
    loop.advance(1000);
    ASSERT_FALSE(core->link().linkActive());
    lib.clearCalls();
    sendTo({"Li"}, "", "later", compose::IDC_SEND);
    request(MakeComposeRequest("", 1));
    EXPECT_EQ(box(OutBox).size(), 1);
    EXPECT_EQ(lib.count(Op::SendSMSMessage), 0);
}

TEST_F(ComposeFlow, SaveFilesOneDraftPerRecipientWithAZeroPaddedDate) {
    loop.clock().setLocal({987, 1, 2, 3, 4, 5});
    sendTo({"Li"}, "10086", "draft", compose::IDC_SAVE);
    request(MakeComposeRequest("", 1));
    ASSERT_EQ(box(PublicBox).size(), 2);
    EXPECT_EQ(box(OutBox).size(), 0);
    EXPECT_EQ(box(PublicBox).row(0).rec.date(), "0987-01-02");
    EXPECT_EQ(box(PublicBox).row(1).rec.time(), "03:04:05");
    EXPECT_EQ(box(PublicBox).row(1).rec.number(), "10086");
    // A sent row of the same year keeps the blank-padded form.
    sendTo({"Li"}, "", "x", compose::IDC_SEND);
    request(MakeComposeRequest("", 1));
    EXPECT_EQ(box(OutBox).row(0).rec.date(), " 987-01-02");
}

TEST_F(ComposeFlow, NoRecipientSays60035AndTheDialogStaysOpen) {
    bool closed = true;
    dialog = [&](ComposeSession& s) {
        closed = s.close(compose::IDC_SEND, "", "text");
        EXPECT_FALSE(closed);
        closed = s.close(compose::IDC_SEND, "1a", "text");  // pasted letters
        return compose::IDC_CANCEL;
    };
    request(MakeComposeRequest("", 1));
    EXPECT_FALSE(closed);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].stringId, 60035u);
    EXPECT_EQ(boxes.shown[0].text, "接收人不能为空");
    EXPECT_EQ(boxes.shown[0].icon, platform::MbIcon::None);
    EXPECT_EQ(box(OutBox).size(), 0);
    EXPECT_EQ(box(PublicBox).size(), 0);  // not a draft: nothing stored
}

TEST_F(ComposeFlow, ForwardFillsTheTextAndSearchWithoutMatchSays60004) {
    std::string preset;
    std::optional<int> found;
    dialog = [&](ComposeSession& s) {
        preset = s.presetText();
        EXPECT_TRUE(s.model().recipients().empty());
        found = s.search("Wu");
        EXPECT_EQ(boxes.shown.size(), 0u);
        EXPECT_FALSE(s.search("Xi"));
        EXPECT_EQ(s.search(""), 0);  // every name begins with the empty text
        s.model().setShowLocal(false);
        EXPECT_FALSE(s.search(""));  // an emptied field in an empty list says nothing
        return compose::IDC_CANCEL;
    };
    request(MakeComposeRequest("a,b forwarded", 2));
    EXPECT_EQ(preset, "a,b forwarded");
    EXPECT_EQ(found, 1);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].stringId, 60004u);
    EXPECT_EQ(boxes.shown[0].icon, platform::MbIcon::Information);
}

TEST_F(ComposeFlow, ACancelledDraftGoesBackUnchangedWithTheNewDateEvenWithACommaInItsContact) {
    MessageRecord draft = storetest::rec("13900000002", "see you, then");
    draft.setContact("Wu, Jr");
    draft.setDate("2001-01-01");
    draft.setTime("01:01:01");
    box(PublicBox).append(draft);
    box(PublicBox).append(storetest::rec("1", "other"));
    core->messageList().ShowMailbox(PublicBox);
    box(PublicBox).selectOnly(0);
    std::string preset;
    dialog = [&](ComposeSession& s) {
        preset = s.presetText();
        EXPECT_EQ(s.model().recipients().size(), 1u);
        EXPECT_EQ(s.model().recipients()[0].shown(), "Wu, Jr");
        s.model().removeRecipients({0});  // changes made in the dialog do not count
        return compose::IDC_CANCEL;
    };
    loop.clock().setLocal({2026, 12, 7, 8, 9, 10});
    core->messageList().onDoubleClick();
    loop.runUntilIdle();
    ASSERT_EQ(dialogRuns, 1);
    EXPECT_EQ(preset, "see you, then");
    Mailbox& pub = box(PublicBox);
    ASSERT_EQ(pub.size(), 2);
    EXPECT_EQ(pub.row(0).rec.text(), "other");
    const MessageRecord& back = pub.row(1).rec;
    EXPECT_EQ(back.number(), "13900000002");
    EXPECT_EQ(back.contact(), "Wu, Jr");
    EXPECT_EQ(back.text(), "see you, then");
    EXPECT_EQ(back.date(), "2026-12-07");
    EXPECT_EQ(back.time(), "08:09:10");
}

TEST_F(ComposeFlow, ADraftOpenWhenTheProgramClosesIsSavedBackOnce) {
    box(PublicBox).append(storetest::rec("13900000001", "draft"));
    core->messageList().ShowMailbox(PublicBox);
    box(PublicBox).selectOnly(0);
    dialog = [&](ComposeSession&) {
        // The session ends while the dialog is open: the frame closes (its
        // loop keeps running under the dialog), then the dialog's loop ends.
        core->close();
        loop.advance(1000);
        EXPECT_TRUE(core->closed());
        return 0;
    };
    core->messageList().onDoubleClick();
    loop.runUntilIdle();
    ASSERT_EQ(dialogRuns, 1);
    const std::string file = storetest::readFile(MailboxFilePath(dir.path, PublicBox));
    ASSERT_EQ(file.size(), sizeof(MessageRecord));
    MessageRecord saved;
    std::memcpy(&saved, file.data(), sizeof saved);
    EXPECT_EQ(saved.text(), "draft");
    EXPECT_EQ(box(PublicBox).size(), 1);
}

TEST_F(ComposeFlow, AnEditedDraftIsSentAndNotPutBack) {
    box(PublicBox).append(storetest::rec("13900000001", "draft"));
    core->messageList().ShowMailbox(PublicBox);
    box(PublicBox).selectOnly(0);
    dialog = [&](ComposeSession& s) {
        EXPECT_EQ(s.model().recipients()[0].shown(), "Li");
        return s.close(compose::IDC_SEND, "", s.presetText() + " edited") ? compose::IDC_SEND
                                                                          : compose::IDC_CANCEL;
    };
    core->messageList().onDoubleClick();
    loop.runUntilIdle();
    EXPECT_EQ(box(PublicBox).size(), 0);
    ASSERT_EQ(box(OutBox).size(), 1);
    EXPECT_EQ(box(OutBox).row(0).rec.text(), "draft edited");
    EXPECT_EQ(box(OutBox).row(0).rec.contact(), "Li");
}

TEST_F(ComposeFlow, NewMessageCommandOpensAnEmptyComposeAndTheViewsReplyAsksAgain) {
    core->command(cmd::NewMessage);
    EXPECT_EQ(dialogRuns, 1);
    // The message view's reply on an InBox message: a mode-1 request.
    box(InBox).append(storetest::rec("13900000001", "hi"));
    core->messageList().ShowMailbox(InBox);
    box(InBox).selectOnly(0);
    // (The frame's view dialog is not attached here; the list asks the
    // window, which answers cancel, so nothing more opens.)
    core->messageList().onDoubleClick();
    loop.runUntilIdle();
    EXPECT_EQ(dialogRuns, 1);
    core->messageList().reply();
    std::vector<std::string> recipients;
    dialog = [&](ComposeSession& s) {
        for (auto& r : s.model().recipients()) recipients.push_back(r.shown());
        return compose::IDC_CANCEL;
    };
    loop.runUntilIdle();
    EXPECT_EQ(dialogRuns, 2);
    EXPECT_EQ(recipients, (std::vector<std::string>{"Li"}));
    EXPECT_EQ(box(PublicBox).size(), 0);  // a cancelled reply stores nothing
}

}  // namespace
}  // namespace msgdesk::test
