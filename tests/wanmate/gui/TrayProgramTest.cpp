// SPDX-License-Identifier: GPL-3.0-or-later
// The tray program's windows offscreen (no notification area there) and
// the progress dialog's wiring through its real widgets.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <functional>

#include "../WanmateWindowFixture.h"
#include "CDialProgressDlg.h"
#include "CWanmateDlg.h"
#include "platform/ManualMessageLoop.h"
#include "platform/MessageBox.h"
#include "platform/XdgAutostart.h"
#include "res/Texts.h"

namespace wanmate {
namespace {

class TrayProgramTest : public ::testing::Test, protected test::WanmateWindow {
protected:
    void SetUp() override {
        test::ensureApp();
        ASSERT_TRUE(open());
    }
};

TEST_F(TrayProgramTest, WithoutANotificationAreaTheSettingsShowWithTheReason) {
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    EXPECT_FALSE(dlg->isVisible());  // hidden until the tray start decides
    dlg->startTray(nullptr, false);
    EXPECT_FALSE(dlg->trayMode());
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(dlg->pos(), QPoint(200, 150));
    EXPECT_EQ(dlg->size(), QSize(480, 295));
    auto* note = dlg->findChild<QLabel*>("noTrayNote");
    ASSERT_TRUE(note);
    EXPECT_TRUE(note->isVisible());
    EXPECT_TRUE(note->text().contains(QString::fromUtf8("没有通知区域")));
    EXPECT_FALSE(dlg->trayIcon());
    // 隐藏 keeps the window reachable; closing it ends the program, saving
    // the settings as last applied.
    dlg->HideToTray();
    EXPECT_TRUE(dlg->isMinimized());
    dlg->core().settings().fields().dialNumber = "*99***1#";
    dlg->close();
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(reg.user.getString("Software\\Kelvo GPRS Info", "Phone number"), "*99***1#");
}

TEST_F(TrayProgramTest, ProgressDialogShowsTheAttemptAndLocksItsButton) {
    CDialProgressDlg p(dlg->core(), dlg->core().dialRequest(), dlg.get());
    p.show();
    auto* button = p.findChild<QPushButton*>("btn2");
    auto* status = p.findChild<QLabel*>("ctl1014");
    ASSERT_TRUE(button && status);
    for (QWidget* w : p.findChildren<QWidget*>())
        EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
    EXPECT_EQ(status->text(), QString::fromUtf8(text::kInitialising));
    EXPECT_EQ(button->text(), QString::fromUtf8("取消"));
    loop.advance(2000);
    ASSERT_EQ(ras.dialed.size(), 1u);
    ras.notifier(0, platform::ras::RASCS_ConnectDevice, 0);
    loop.runUntilIdle();
    EXPECT_EQ(status->text(), QString::fromUtf8("正在连接设备……"));
    EXPECT_FALSE(button->isEnabled());
    QTest::keyClick(&p, Qt::Key_Escape);  // no cancel once the modem dials
    EXPECT_TRUE(p.isVisible());
    ras.notifier(0, platform::ras::RASCS_Connected, 0);
    loop.runUntilIdle();
    EXPECT_FALSE(p.isVisible());
    EXPECT_EQ(p.result(), QDialog::Accepted);
}

TEST_F(TrayProgramTest, CancelHangsUpAndEndsTheDialog) {
    CDialProgressDlg p(dlg->core(), dlg->core().dialRequest(), dlg.get());
    p.show();
    loop.advance(2000);
    ras.notifier(0, platform::ras::RASCS_OpenPort, 0);
    loop.runUntilIdle();
    QTest::mouseClick(p.findChild<QPushButton*>("btn2"), Qt::LeftButton);
    EXPECT_FALSE(p.isVisible());
    EXPECT_EQ(p.result(), int(platform::IDCANCEL));
    EXPECT_EQ(ras.hungUp, std::vector<platform::ras::HRASCONN>{77});
}

}  // namespace
}  // namespace wanmate

namespace wanmate {
namespace {

// Yes to the redial question posts a dial request while the failed dialog
// is still on screen: a new dialog follows once the first has ended.
TEST_F(TrayProgramTest, RedialOpensANewDialogAfterTheFailedOne) {
    int dialogs = 0;
    std::function<void()> drive = [&] {
        QWidget* open = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "dlg145" && w->isVisible()) open = w;
        if (!open) return (void)QTimer::singleShot(20, drive);
        ++dialogs;
        loop.advance(2000);
        if (dialogs == 1) {
            box.answers = {platform::IDYES};
            ras.notifier(0, platform::ras::RASCS_ConnectDevice, platform::ras::ERROR_NO_CARRIER);
            loop.runUntilIdle();  // the question, the posted request, the end
            QTimer::singleShot(20, drive);
        } else {
            ras.notifier(0, platform::ras::RASCS_Connected, 0);
            loop.runUntilIdle();
        }
    };
    QTimer::singleShot(20, drive);
    dlg->runDialRequest();
    EXPECT_EQ(dialogs, 2);
    EXPECT_EQ(ras.dialed.size(), 2u);
    EXPECT_FALSE(dlg->dialing());
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_TRUE(box.shown[0].text.ends_with("您需要重新拨号吗?"));
}

}  // namespace
}  // namespace wanmate
