// SPDX-License-Identifier: GPL-3.0-or-later
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <cstdlib>

#include "FrameFixture.h"
#include "compose/CComposeTextEdit.h"
#include "compose/CConversationDlg.h"
#include "platform/Codepage.h"
#include "store/CListMsgView.h"
#include "types/Commands.h"

namespace msgdesk::guitest {
namespace {

using platform::codepage::utf8ToGbk;

MessageRecord row(const std::string& number, const std::string& utf8, const char* date,
                  const char* time) {
    MessageRecord r;
    r.setNumber(number);
    r.setText(utf8ToGbk(utf8));
    r.setDate(date);
    r.setTime(time);
    return r;
}

class ConversationGui : public FrameFixture {
protected:
    ConversationGui() : FrameFixture("convgui") {}

    void seed() {
        MailboxStore& s = core->store();
        const std::string whole = utf8ToGbk(
            "这是一条很长的短信，分三条送到：周六上午九点在公司门口集合，大家一起坐车去郊外，"
            "中午在农家乐吃饭，下午爬山，傍晚回来。请带好水和雨具，穿运动鞋。如果不能参加，"
            "请在周五中午以前告诉我，谢谢大家！");
        MessageRecord longRow = row("+8613912345678", "", "2026-12-05", "09:00:00");
        longRow.setText(whole.substr(0, platform::codepage::fitLength(whole, 160)));
        s.longTexts(InBox).add(LongTexts::keyOf(longRow), whole);
        s.box(InBox).append(row("13912345678", "周末有空吗？", "2026-12-04", "18:20:05"));
        s.box(SentBox).append(row("13912345678", "有空，什么事？", "2026-12-04", "18:21:40"));
        s.box(InBox).append(row("8613912345678", "一起去爬山吧", "2026-12-04", "18:22:10"));
        s.box(SentBox).append(row("139-1234-5678", "好啊，几点？", "2026-12-04", "18:25:00"));
        s.box(InBox).append(longRow);
        s.box(InBox).append(row("13800000000", "别的号码", "2026-12-05", "10:00:00"));
        s.box(SentBox).append(row("13912345678", "收到，准时到。", "2026-12-05", " 9:30:12"));
    }
    CConversationDlg* openDialog() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<CConversationDlg*>(w); d && d->isVisible()) return d;
        return nullptr;
    }
};

// 查看对话 from the list of the InBox: enabled for one selected row (in
// the popup, after its own items, and in the 短信 menu), opens the window
// titled with the contact's name, holding every message with the number in
// time order; a reply typed in "回复" and sent with 发送 goes to the OutBox
// and the device as compose would send it, and shows as sent once the
// device says OK.
TEST_F(ConversationGui, OpenFromTheListAndReply) {
    startFrame([this] {
        seed();
        auto c = NewContactRecord();
        c->setName(utf8ToGbk("张三"));
        c->setMobile("13912345678");
        core->contacts().AddContact(std::move(c));
    });
    frame->show();
    // The device's centre is read, so the send pump may send.
    ASSERT_TRUE(
        waitFor([&] { return fake.count(test::FakeDeviceLibrary::Op::GetGSMCenter) > 0; }, 10000));
    fake.fire(258, "+8613800100500", fake.lastResult(test::FakeDeviceLibrary::Op::GetGSMCenter));

    core->messageList().ShowMailbox(InBox);
    QAction* menuItem = frame->action(cmd::Conversation);
    ASSERT_NE(menuItem, nullptr);
    Mailbox& in = core->store().box(InBox);
    in.selectAll();
    frame->updateCommandUI();
    EXPECT_FALSE(menuItem->isEnabled());  // two rows: no one conversation
    in.selectOnly(0);
    frame->updateCommandUI();
    EXPECT_TRUE(menuItem->isEnabled());
    std::unique_ptr<QMenu> popup(frame->list()->createPopupMenu());
    const QList<QAction*> items = popup->actions();
    ASSERT_FALSE(items.isEmpty());
    EXPECT_EQ(items.last()->text(), QStringLiteral("查看对话"));
    EXPECT_TRUE(items.last()->isEnabled());
    EXPECT_TRUE(items[items.size() - 2]->isSeparator());

    menuItem->trigger();
    CConversationDlg* dlg = nullptr;
    ASSERT_TRUE(waitFor([&] { return (dlg = openDialog()) != nullptr; }));
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("与张三的对话"));
    QAbstractItemModel* model = dlg->messages()->model();
    // Two days, so two date lines, and six messages.
    ASSERT_EQ(model->rowCount(), 8);
    EXPECT_EQ(model->index(0, 0).data().toString(), QStringLiteral("2026-12-04"));
    EXPECT_TRUE(model->index(1, 0).data().toString().startsWith(QStringLiteral("周末有空吗？")));
    EXPECT_EQ(model->index(5, 0).data().toString(), QStringLiteral("2026-12-05"));
    EXPECT_TRUE(model->index(6, 0).data().toString().contains(
        QStringLiteral("请在周五中午以前告诉我，谢谢大家！")));
    EXPECT_TRUE(model->index(7, 0).data().toString().startsWith(QStringLiteral("收到，准时到。")));

    if (const char* shot = std::getenv("CONVERSATION_SCREENSHOT")) {
        dlg->resize(520, 760);
        QApplication::processEvents();
        dlg->grab().save(QString::fromLocal8Bit(shot));
    }

    // The same conversation again raises this window, no second one.
    core->messageList().ShowMailbox(SentBox);
    core->store().box(SentBox).selectOnly(0);
    core->command(cmd::Conversation);
    EXPECT_EQ(openDialog(), dlg);

    fake.clearCalls();
    QWidget* field = nullptr;
    QPushButton* send = nullptr;
    for (QWidget* w : dlg->findChildren<QWidget*>()) {
        if (w->accessibleName() == QStringLiteral("回复")) field = w;
        if (w->accessibleName() == QStringLiteral("发送")) send = qobject_cast<QPushButton*>(w);
    }
    ASSERT_NE(field, nullptr);
    ASSERT_NE(send, nullptr);
    field->setFocus();
    QTest::keyClicks(field, QStringLiteral("ok, see you"));
    QTest::mouseClick(send, Qt::LeftButton);
    EXPECT_TRUE(dlg->replyField()->gbkText().empty());
    ASSERT_EQ(core->store().box(OutBox).size(), 1);
    EXPECT_EQ(core->store().box(OutBox).row(0).rec.contact(), utf8ToGbk("张三"));
    ASSERT_TRUE(
        waitFor([&] { return fake.count(test::FakeDeviceLibrary::Op::SendSMSMessage) == 1; }));
    const auto sent = fake.calls(test::FakeDeviceLibrary::Op::SendSMSMessage)[0];
    EXPECT_EQ(sent.s1, "13912345678");
    EXPECT_EQ(sent.s2, "ok, see you");
    // Today's date line and the reply, marked while it is with the device.
    ASSERT_TRUE(waitFor([&] {
        return model->rowCount() == 10 &&
               model->index(9, 0).data().toString().contains(QStringLiteral("正在发送"));
    }));
    fake.fire(260, "OK", sent.result);
    ASSERT_TRUE(waitFor([&] { return core->store().box(SentBox).size() == 4; }));
    ASSERT_TRUE(waitFor([&] {
        return !model->index(9, 0).data().toString().contains(QStringLiteral("正在发送"));
    }));
    EXPECT_TRUE(model->index(9, 0).data().toString().startsWith(QStringLiteral("ok, see you")));
    dlg->close();
}

}  // namespace
}  // namespace msgdesk::guitest
