// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>

#include "FrameFixture.h"
#include "QtMessageLoop.h"
#include "StoreGuiSupport.h"
#include "compose/CComposeDlg.h"
#include "compose/CComposeTextEdit.h"
#include "compose/CKeepOnComputerDlg.h"
#include "compose/CMessageViewDlg.h"
#include "compose/ComposeSession.h"
#include "msgdesk/FakeDeviceLibrary.h"
#include "platform/Codepage.h"
#include "platform/Registry.h"
#include "shell/CMainFrame.h"
#include "shell/CMsgdeskApp.h"
#include "shell/MainFrameCore.h"
#include "store/CListMsgView.h"
#include "widgets/CDeviceIcons.h"
#include "widgets/CPhoneEdit.h"

using namespace msgdesk;
namespace fs = std::filesystem;
using platform::codepage::utf8ToGbk;

namespace {

template <class W>
W* control(QWidget* dlg, const char* accessibleName) {
    for (W* w : dlg->findChildren<W*>())
        if (w->accessibleName() == QString::fromUtf8(accessibleName)) return w;
    return nullptr;
}

// Types each character as a key press carrying its text (QTest::keyClicks
// knows only ASCII keys).
void typeText(QWidget* w, const QString& text) {
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

MessageRecord message() {
    MessageRecord r = storegui::rec("13900000001", utf8ToGbk("今晚七点见，收到请回复。"));
    r.setContact(utf8ToGbk("张三"));
    return r;
}

TEST(MessageViewDlg, EnterRepliesEscapeCancelsAndForwardForwards) {
    storegui::ensureApp();
    InitMsgdeskResources();
    {
        CMessageViewDlg dlg(message());
        dlg.show();
        QLineEdit* number = control<QLineEdit>(&dlg, "号码");
        ASSERT_NE(number, nullptr);
        EXPECT_EQ(number->text(), "13900000001");
        EXPECT_TRUE(number->isReadOnly());
        EXPECT_EQ(dlg.textField()->palette().color(QPalette::Base), QColor(255, 255, 225));
        QTest::keyClick(dlg.textField(), Qt::Key_Return);
        EXPECT_EQ(dlg.result(), 1027);
        EXPECT_FALSE(dlg.isVisible());
    }
    {
        CMessageViewDlg dlg(message());
        dlg.show();
        QTest::keyClick(&dlg, Qt::Key_Escape);
        EXPECT_EQ(dlg.result(), 2);
    }
    {
        CMessageViewDlg dlg(message());
        dlg.show();
        QTest::mouseClick(control<QPushButton>(&dlg, "转发(F)"), Qt::LeftButton);
        EXPECT_EQ(dlg.result(), 1025);
    }
}

TEST(KeepOnComputerDlg, AnswersYesNoAndCancel) {
    storegui::ensureApp();
    CKeepOnComputerDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8("KelvoZunto短信中心"));
    dlg.show();
    QTest::mouseClick(control<QPushButton>(&dlg, "否(N)"), Qt::LeftButton);
    EXPECT_EQ(dlg.result(), 1044);
    dlg.show();
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_EQ(dlg.result(), 2);
    dlg.show();
    QTest::mouseClick(control<QPushButton>(&dlg, "是(Y)"), Qt::LeftButton);
    EXPECT_EQ(dlg.result(), 1);
}

class ComposeDlgGui : public ::testing::Test {
protected:
    ContactBook book;
    SimPhonebook sims;
    platform::ScriptedMessageBox boxes;

    void SetUp() override {
        storegui::ensureApp();
        InitMsgdeskResources();
        for (auto [name, mobile] :
             {std::pair{"李四", "13900000002"}, std::pair{"张三", "13900000001"}}) {
            auto c = NewContactRecord();
            c->setName(utf8ToGbk(name));
            c->setMobile(mobile);
            book.AddContact(std::move(c));
        }
        auto e = std::make_unique<SimPhoneEntry>();
        e->device = 2;
        e->index = 5;
        e->setName(utf8ToGbk("王五"));
        e->setNumber("13700000005");
        sims.AppendSimEntry(std::move(e));
    }
    ComposeRequest reply(const char* number) {
        ComposeRequest r;
        r.mode = 1;
        r.text = number;
        return r;
    }
};

TEST_F(ComposeDlgGui, TypingUpdatesTheCountAndAChineseCharacterPastTheLimitIsRefused) {
    ComposeSession session(book, sims, reply(""), boxes);
    CComposeDlg dlg(session);
    dlg.show();
    CComposeTextEdit* text = control<CComposeTextEdit>(&dlg, "短信息内容");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(dlg.countLabel()->text(), "0/140");
    QTest::keyClicks(text, "ab");
    EXPECT_EQ(dlg.countLabel()->text(), "2/140");
    typeText(text, QString::fromUtf8("你好"));
    EXPECT_EQ(dlg.countLabel()->text(), "6/140");
    QTest::keyClick(text, Qt::Key_Backspace);
    EXPECT_EQ(dlg.countLabel()->text(), "4/140");
    // An emoji (one key event, two UTF-16 units) is taken and counts four,
    // what it costs in the message.
    QTest::sendKeyEvent(QTest::Click, text, Qt::Key_unknown, QString::fromUtf8("😀"),
                        Qt::NoModifier);
    EXPECT_EQ(dlg.countLabel()->text(), "8/140");
    EXPECT_EQ(text->gbkText(), "ab" + utf8ToGbk("你😀"));
    // 139 bytes: one more ASCII character fits, a Chinese one would not.
    text->setPlainText(QString(139, QLatin1Char('x')));
    text->moveCursor(QTextCursor::End);
    EXPECT_EQ(dlg.countLabel()->text(), "139/140");
    typeText(text, QString::fromUtf8("中"));
    EXPECT_EQ(text->byteCount(), 139);
    QTest::keyClicks(text, "y");
    EXPECT_EQ(dlg.countLabel()->text(), "140/140");
    QTest::keyClicks(text, "z");
    EXPECT_EQ(text->byteCount(), 140);
    // With one character selected, typing replaces it.
    text->moveCursor(QTextCursor::Left, QTextCursor::KeepAnchor);
    QTest::keyClicks(text, "w");
    EXPECT_TRUE(text->toPlainText().endsWith(QLatin1Char('w')));
    EXPECT_EQ(text->byteCount(), 140);
}

TEST_F(ComposeDlgGui, SimRecipientRemovedByDeleteIsBackWithItsIconAndSendNeedsARecipient) {
    ComposeSession session(book, sims, reply("13900000001"), boxes);
    CComposeDlg dlg(session);
    dlg.show();
    QTreeWidget* recipients = dlg.recipientList();
    QTreeWidget* book = dlg.phonebookList();
    ASSERT_EQ(recipients->topLevelItemCount(), 1);
    EXPECT_EQ(recipients->topLevelItem(0)->text(0), QString::fromUtf8("张三"));
    ASSERT_EQ(book->topLevelItemCount(), 1);
    QPushButton* add = control<QPushButton>(&dlg, "<= 添加");
    EXPECT_FALSE(add->isEnabled());
    QTest::mouseClick(control<QCheckBox>(&dlg, "SIM卡内电话"), Qt::LeftButton);
    ASSERT_EQ(book->topLevelItemCount(), 2);
    // "王" sorts after "李" in GBK; the last inserted row is selected.
    EXPECT_EQ(book->topLevelItem(1)->text(0), QString::fromUtf8("王五"));
    EXPECT_TRUE(book->topLevelItem(1)->isSelected());
    EXPECT_TRUE(add->isEnabled());
    QTest::mouseClick(add, Qt::LeftButton);
    ASSERT_EQ(recipients->topLevelItemCount(), 2);
    EXPECT_EQ(book->topLevelItemCount(), 1);
    recipients->topLevelItem(1)->setSelected(true);
    recipients->setFocus();
    QTest::keyClick(recipients, Qt::Key_Delete);
    ASSERT_EQ(book->topLevelItemCount(), 2);
    EXPECT_EQ(book->topLevelItem(1)->text(1), "13700000005");
    EXPECT_EQ(book->topLevelItem(1)->icon(0).cacheKey(), DeviceStripIcon(2).cacheKey());
    EXPECT_EQ(book->topLevelItem(0)->icon(0).cacheKey(), DeviceStripIcon(0).cacheKey());
    EXPECT_TRUE(recipients->topLevelItem(0)->isSelected());  // the row before the removed one
    QTest::keyClick(recipients, Qt::Key_Delete);
    EXPECT_EQ(recipients->topLevelItemCount(), 0);
    // Typing "a" into the number does nothing; with no recipient send stays.
    CPhoneEdit* extra = control<CPhoneEdit>(&dlg, "新建联系人号码:");
    ASSERT_NE(extra, nullptr);
    QTest::keyClicks(extra, "a");
    EXPECT_EQ(extra->text(), "");
    QTest::mouseClick(control<QPushButton>(&dlg, "发送(S)"), Qt::LeftButton);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].stringId, 60035u);
    EXPECT_TRUE(dlg.isVisible());
    QTest::keyClicks(extra, "+8613800000000123456789");
    EXPECT_EQ(extra->text(), "+8613800000000123456");  // 20 characters
    QTest::mouseClick(control<QPushButton>(&dlg, "保存(V)"), Qt::LeftButton);
    EXPECT_EQ(dlg.result(), 1001);
    EXPECT_EQ(session.model().resultNumbers(), (std::vector<std::string>{"+8613800000000123456"}));
}

TEST_F(ComposeDlgGui, SearchWithoutAMatchSelectsTheWholeSearchTextAndThePopupsAddAndRemove) {
    ComposeSession session(book, sims, reply(""), boxes);
    CComposeDlg dlg(session);
    dlg.show();
    QLineEdit* search = control<QLineEdit>(&dlg, "查找:");
    ASSERT_NE(search, nullptr);
    typeText(search, QString::fromUtf8("张"));
    EXPECT_TRUE(dlg.phonebookList()->topLevelItem(1)->isSelected());
    QTest::keyClicks(search, "x");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].stringId, 60004u);
    EXPECT_EQ(search->selectedText(), QString::fromUtf8("张x"));
    EXPECT_TRUE(dlg.phonebookList()->selectedItems().isEmpty());
    // The phonebook's popup: select all, then add (greyed without a selection).
    dlg.phonebookList()->clearSelection();
    std::unique_ptr<QMenu> menu(dlg.createPopupMenu(dlg.phonebookList()));
    QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text(), QString::fromUtf8("全 选(&A)"));
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_EQ(items[2]->text(), QString::fromUtf8("添 加(&R)"));
    EXPECT_FALSE(items[2]->isEnabled());
    items[0]->trigger();
    EXPECT_EQ(dlg.phonebookList()->selectedItems().size(), 2);
    menu.reset(dlg.createPopupMenu(dlg.phonebookList()));
    menu->actions()[2]->trigger();
    EXPECT_EQ(dlg.recipientList()->topLevelItemCount(), 2);
    EXPECT_EQ(dlg.phonebookList()->topLevelItemCount(), 0);
    // A double-click on the one selected recipient removes it.
    QTreeWidgetItem* first = dlg.recipientList()->topLevelItem(0);
    dlg.recipientList()->clearSelection();
    first->setSelected(true);
    emit dlg.recipientList()->itemDoubleClicked(first, 0);
    EXPECT_EQ(dlg.recipientList()->topLevelItemCount(), 1);
    EXPECT_EQ(dlg.phonebookList()->topLevelItemCount(), 1);
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_EQ(dlg.result(), 2);
}

using msgdesk::guitest::waitFor;

// Acts once on the next modal dialog of type T, from a timer, so that the
// dialog's own event loop keeps running.
template <class T>
void whenModal(std::function<void(T*)> act) {
    auto* t = new QTimer;
    t->setInterval(10);
    QObject::connect(t, &QTimer::timeout, [t, act] {
        if (auto* dlg = qobject_cast<T*>(QApplication::activeModalWidget())) {
            t->stop();
            t->deleteLater();
            act(dlg);
        }
    });
    t->start();
}

TEST(ComposeFromMainFrame, CtrlNOpensComposeAndADoubleClickedMessageRepliesWithEnter) {
    storegui::ensureApp();
    InitMsgdeskResources();
    fs::path dir = fs::temp_directory_path() / ("composegui-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    {
        platform::QtMessageLoop loop(qApp);
        platform::SystemClock clock;
        platform::ScriptedMessageBox boxes;
        test::FakeDeviceLibrary fake;
        fake.setDeviceCount(1);
        DeviceLibrary table = fake.table();
        platform::RegistryStore reg(dir / "user.reg");
        MainFrameCore core(MainFrameCore::Services{loop, clock, boxes, reg, "", dir, &table});
        ASSERT_TRUE(core.create());
        CMainFrame frame(core);
        frame.show();
        QApplication::setActiveWindow(&frame);
        QString title;
        whenModal<CComposeDlg>([&](CComposeDlg* dlg) {
            title = dlg->windowTitle();
            dlg->reject();
        });
        QTest::keySequence(&frame, QKeySequence(QStringLiteral("Ctrl+N")));
        EXPECT_TRUE(waitFor([&] { return !title.isEmpty(); }));
        EXPECT_EQ(title, QString::fromUtf8("短信息"));

        // A double-click in the InBox opens the message; Enter there replies,
        // which opens compose with the sender as recipient.
        core.store().box(InBox).append(message());
        core.messageList().ShowMailbox(InBox);
        QTableView* in = frame.list()->listView(InBox);
        QString viewTitle;
        QString recipient;
        whenModal<CMessageViewDlg>([&](CMessageViewDlg* view) {
            viewTitle = view->windowTitle();
            QTest::keyClick(view->textField(), Qt::Key_Return);
        });
        whenModal<CComposeDlg>([&](CComposeDlg* dlg) {
            if (dlg->recipientList()->topLevelItemCount() == 1)
                recipient = dlg->recipientList()->topLevelItem(0)->text(0);
            dlg->reject();
        });
        const QRect cell = in->visualRect(in->model()->index(0, 1));
        // Qt's test double-click is only the second click: press once first.
        QTest::mouseClick(in->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        QTest::mouseDClick(in->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        EXPECT_TRUE(waitFor([&] { return !recipient.isEmpty(); }));
        EXPECT_EQ(viewTitle, QString::fromUtf8("短信"));
        EXPECT_EQ(recipient, "13900000001");
        core.close();
        waitFor([&] { return core.closed(); });
    }
    fs::remove_all(dir);
}

}  // namespace
