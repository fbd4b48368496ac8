// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "FrameFixture.h"
#include "QtMessageLoop.h"
#include "msgdesk/FakeDeviceLibrary.h"
#include "phone/CPhoneButton.h"
#include "phone/CPhoneDlg.h"
#include "phone/PhoneIds.h"
#include "platform/Registry.h"
#include "shell/CMainFrame.h"
#include "shell/CMsgdeskApp.h"
#include "shell/CStatusBar.h"
#include "shell/MainFrameCore.h"
#include "types/Commands.h"

using namespace msgdesk;
using msgdesk::guitest::app;
using msgdesk::guitest::waitFor;
using msgdesk::test::FakeDeviceLibrary;
namespace fs = std::filesystem;

namespace {

class MainFrameGui : public guitest::FrameFixture {
protected:
    MainFrameGui() : FrameFixture("framegui") {}
    void SetUp() override {
        startFrame();
        frame->show();
    }
};

TEST_F(MainFrameGui, StartsConnectedAndCommandsFollowTheLink) {
    EXPECT_EQ(frame->windowTitle(), QString::fromUtf8("KelvoZunto短信中心"));
    ASSERT_TRUE(waitFor([&] { return core->link().linkActive(); }));
    frame->updateCommandUI();
    EXPECT_FALSE(frame->action(cmd::Connect)->isEnabled());
    EXPECT_TRUE(frame->action(cmd::Disconnect)->isEnabled());
    EXPECT_EQ(frame->toolBar()->actions().size(), 12);
    // Disconnect through the menu command; the link goes down after its pause.
    frame->action(cmd::Disconnect)->trigger();
    ASSERT_TRUE(waitFor([&] { return !core->link().linkActive(); }));
    frame->updateCommandUI();
    EXPECT_TRUE(frame->action(cmd::Connect)->isEnabled());
    EXPECT_FALSE(frame->action(cmd::Disconnect)->isEnabled());
}

TEST_F(MainFrameGui, DoubleClickOnTheCapacityPaneReachesTheCore) {
    ASSERT_TRUE(waitFor([&] { return core->link().linkActive(); }));
    CStatusBar* bar = frame->statusPanes();
    QRect r = bar->paneRect(PANE_CAPACITY);
    ASSERT_TRUE(r.isValid());
    QTest::mouseDClick(bar, Qt::RightButton, {}, r.center());  // only the left button opens
    EXPECT_TRUE(boxes.shown.empty());
    QTest::mouseDClick(bar, Qt::LeftButton, {}, r.center());
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_EQ(boxes.shown.back().stringId, 60061u);  // SIMs still being read
}

TEST_F(MainFrameGui, ClosingAsksWhileSendingAndWritesTheSettings) {
    ASSERT_TRUE(waitFor([&] { return core->link().linkActive(); }));
    core->sendBatchRunningHook = [] { return true; };
    boxes.answers = {platform::IDNO};
    frame->close();
    EXPECT_EQ(boxes.shown.back().stringId, 60001u);
    EXPECT_TRUE(frame->isVisible());
    boxes.answers = {platform::IDYES};
    core->settings().Resend = 7;
    frame->close();
    ASSERT_TRUE(waitFor([&] { return !frame->isVisible(); }));
    EXPECT_EQ(reg->getDword("Software\\Kelvo\\KelvoZunto短信中心\\settings", "Resend"), 7u);
    EXPECT_EQ(fake.count(FakeDeviceLibrary::Op::CloseModules), 1);
}

TEST_F(MainFrameGui, StatusBarHiddenThroughTheMenuStopsPaneTexts) {
    QAction* sb = frame->action(cmd::ViewStatusBar);
    sb->trigger();
    EXPECT_FALSE(frame->statusPanes()->isVisible());
    EXPECT_FALSE(core->statusBarVisible());
    loop->send(core.get(), UM_STATUSPANE, PANE_MAILBOX, 2);
    EXPECT_NE(frame->statusPanes()->paneText(PANE_MAILBOX),
              QString::fromUtf8(" 欢迎使用KelvoZunto..."));
}

}  // namespace

namespace {

// The properties command opens the dialog over the main window; SIM卡信息
// sits in the 查看 menu.
TEST_F(MainFrameGui, SettingsCommandOpensThePropertiesDialogAndSimInfoIsAViewCommand) {
    QString title;
    bool modalSeen = false;
    QTimer::singleShot(50, [&] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            modalSeen = true;
            title = w->windowTitle();
            QTest::keyClick(w, Qt::Key_Escape);
        }
    });
    frame->action(cmd::Settings)->trigger();
    EXPECT_TRUE(modalSeen);
    EXPECT_EQ(title, QString::fromUtf8("属性"));
    EXPECT_EQ(core->openDeviceDialog(), nullptr);
    QMenu* view = nullptr;
    for (QAction* a : frame->menuBar()->actions())
        if (a->text() == QString::fromUtf8("查看(&V)")) view = a->menu();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->actions().contains(frame->action(cmd::SimInfo)));
}

}  // namespace

TEST_F(MainFrameGui, ThePhonesPhonebookButtonOpensThePicker) {
    CPhoneDlg* phone = frame->phoneDialog();
    ASSERT_NE(phone, nullptr);
    ASSERT_TRUE(phone->button(phone::IDC_PHONEBOOK)->isEnabled());
    std::string opened;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (QWidget* m = QApplication::activeModalWidget()) {
            opened = m->metaObject()->className();
            m->close();
        }
    });
    watch.start(10);
    phone->button(phone::IDC_PHONEBOOK)->click();
    watch.stop();
    EXPECT_EQ(opened, "msgdesk::CPhonebookPickerDlg");
}
