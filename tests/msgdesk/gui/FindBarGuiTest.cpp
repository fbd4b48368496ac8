// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "FrameFixture.h"
#include "QtMessageBox.h"
#include "QtMessageLoop.h"
#include "contacts/ContactImport.h"
#include "msgdesk/FakeDeviceLibrary.h"
#include "platform/Codepage.h"
#include "platform/Registry.h"
#include "shell/CMainFrame.h"
#include "shell/CMsgdeskApp.h"
#include "shell/MainFrameCore.h"
#include "shell/TransferCommands.h"
#include "store/CFindPane.h"
#include "store/CFoundModel.h"
#include "store/CListMsgView.h"

using namespace msgdesk;
using msgdesk::test::FakeDeviceLibrary;
using platform::codepage::utf8ToGbk;
namespace fs = std::filesystem;

namespace {

MessageRecord message(const char* number, const char* nameUtf8, const char* textUtf8, int i) {
    MessageRecord r;
    r.setNumber(number);
    r.setContact(utf8ToGbk(nameUtf8));
    r.setText(utf8ToGbk(textUtf8));
    r.setDate("2026-12-0" + std::to_string(1 + i % 7));
    r.setTime("1" + std::to_string(i % 10) + ":2" + std::to_string(i % 10) + ":00");
    return r;
}

// Chinese text arrives from the input method, one committed character at a time.
void typeChinese(QWidget* w, const QString& text) {
    for (QChar c : text) {
        QInputMethodEvent e;
        e.setCommitString(QString(c));
        QApplication::sendEvent(w, &e);
    }
}

class FindBarGui : public guitest::FrameFixture {
protected:
    FindBarGui() : FrameFixture("findgui") {}
    void SetUp() override {
        startFrame([this] {
            const char* texts[] = {"明天上午十点开会，请准时参加。", "Meeting moved to room 302",
                                   "快递已到，请到门口领取。", "周末一起吃饭吗？",
                                   "会议纪要已发到邮箱。"};
            const char* names[] = {"张三", "Alice", "", "李四", "王五"};
            for (int i = 0; i < 40; ++i) {
                std::string num = "1390000" + std::to_string(1000 + i);
                core->store().AppendMessage(message(num.c_str(), names[i % 5], texts[i % 5], i),
                                            InBox);
            }
            core->store().AppendMessage(message("13600000001", "赵六", "会议室换到三楼", 1),
                                        SentBox);
        });
        frame->resize(1000, 640);
        frame->show();
        core->messageList().ShowMailbox(InBox);
        QApplication::processEvents();
    }
};

TEST_F(FindBarGui, CtrlFTypingFiltersTheListAndEscShowsAll) {
    CFindPane* pane = frame->findPane();
    ASSERT_NE(pane, nullptr);
    EXPECT_FALSE(pane->bar()->isVisible());
    QTableView* in = frame->list()->listView(InBox);
    EXPECT_TRUE(in->isVisible());

    QTest::keyClick(frame.get(), Qt::Key_F, Qt::ControlModifier);
    QApplication::processEvents();
    ASSERT_TRUE(pane->bar()->isVisible());
    EXPECT_TRUE(pane->findEdit()->hasFocus());
    EXPECT_EQ(pane->findEdit()->accessibleName(), QString::fromUtf8("查找"));

    typeChinese(pane->findEdit(), QString::fromUtf8("会议"));
    QApplication::processEvents();
    QTableView* found = pane->foundView();
    EXPECT_TRUE(found->isVisible());
    EXPECT_FALSE(in->isVisible());
    EXPECT_EQ(found->model()->rowCount(), 8);  // "会议纪要" rows only: 8 of 40
    EXPECT_EQ(pane->countLabel()->text(), QString::fromUtf8("找到 8 条"));
    EXPECT_TRUE(found->isColumnHidden(CFoundModel::kColMailbox));

    // Case does not matter for ASCII letters.
    pane->findEdit()->clear();
    QTest::keyClicks(pane->findEdit(), QStringLiteral("MEETING"));
    EXPECT_EQ(found->model()->rowCount(), 8);
    EXPECT_EQ(found->model()->index(0, ColText).data().toString(),
              QStringLiteral("Meeting moved to room 302"));

    // A click on a found row selects that mailbox row; delete acts on it only.
    found->selectRow(2);
    QApplication::processEvents();
    EXPECT_EQ(core->store().box(InBox).selectedRows(), (std::vector<int>{11}));
    QTest::keyClick(found, Qt::Key_Delete);
    EXPECT_EQ(core->store().box(InBox).size(), 39);
    EXPECT_EQ(pane->countLabel()->text(), QString::fromUtf8("找到 7 条"));

    // All mailboxes: the SentBox row joins, with the mailbox column.
    pane->findEdit()->clear();
    typeChinese(pane->findEdit(), QString::fromUtf8("会议"));
    pane->allBoxes()->click();
    EXPECT_EQ(found->model()->rowCount(), 9);
    EXPECT_FALSE(found->isColumnHidden(CFoundModel::kColMailbox));
    EXPECT_EQ(found->model()->index(8, CFoundModel::kColMailbox).data().toString(),
              QString::fromUtf8("已发短信箱"));
    found->selectRow(8);
    frame->updateCommandUI();
    EXPECT_TRUE(frame->action(30102)->isEnabled());   // reply
    EXPECT_FALSE(frame->action(30105)->isEnabled());  // delete
    if (const char* path = std::getenv("FIND_SCREENSHOT")) EXPECT_TRUE(frame->grab().save(path));

    QTest::keyClick(pane->findEdit(), Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_FALSE(pane->bar()->isVisible());
    EXPECT_FALSE(found->isVisible());
    EXPECT_TRUE(in->isVisible());
    EXPECT_EQ(in->model()->rowCount(), 39);
    EXPECT_FALSE(pane->allBoxes()->isChecked());
}

TEST_F(FindBarGui, MenusEndWithTheNewCommands) {
    QStringList smsTail, contactTail;
    for (QAction* top : frame->menuBar()->actions()) {
        QList<QAction*> items = top->menu()->actions();
        if (top->text() == QString::fromUtf8("短信(&M)")) {
            // Own items, then find and export, then the conversation, then
            // filing unfinished long messages.
            ASSERT_GE(items.size(), 9);
            EXPECT_EQ(items[items.size() - 9]->objectName(), QStringLiteral("cmd32822"));
            EXPECT_TRUE(items[items.size() - 8]->isSeparator());
            EXPECT_EQ(items[items.size() - 5]->objectName(), QStringLiteral("cmd33003"));
            EXPECT_TRUE(items[items.size() - 4]->isSeparator());
            EXPECT_EQ(items[items.size() - 3]->objectName(), QStringLiteral("cmd34001"));
            EXPECT_TRUE(items[items.size() - 2]->isSeparator());
            EXPECT_EQ(items.back()->objectName(), QStringLiteral("cmd33201"));
        }
        if (top->text() == QString::fromUtf8("联系人(&C)"))
            EXPECT_EQ(items.back()->objectName(), QStringLiteral("cmd33013"));
    }
}

TEST_F(FindBarGui, ImportSummaryScreenshot) {
    std::ifstream f(std::string(ZUNTO_TEST_DATA) + "/msgdesk/vcard/android.vcf", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(f)), {});
    ImportCounts c = addImportedContacts(core->contacts(), parseContactFile(bytes));
    EXPECT_EQ(c.added, 2);
    const char* path = std::getenv("IMPORT_SCREENSHOT");
    if (!path) return;
    // The summary through the program's real message box, grabbed while up.
    platform::QtMessageBox real(frame.get());
    bool grabbed = false;
    QTimer::singleShot(300, [&] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            grabbed = w->grab().save(path);
            if (auto* b = qobject_cast<QMessageBox*>(w)) b->accept();
        }
    });
    real.show(platform::MessageBoxRequest{0, importSummary(c), "KelvoZunto短信中心",
                                          platform::MbIcon::Information, platform::MbButtons::Ok});
    EXPECT_TRUE(grabbed);
}

}  // namespace
