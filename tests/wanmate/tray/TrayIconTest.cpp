// SPDX-License-Identifier: GPL-3.0-or-later
// The tray icon and its menu on an X server with a notification area
// (run through run-with-tray.sh). With ZUNTO_DOC_SHOTS set to a folder,
// the screen is saved there at the start-up picture and with the menu open.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>

#include "../WanmateWindowFixture.h"
#include "CSplashWindow.h"
#include "CWanmateDlg.h"
#include "platform/ManualMessageLoop.h"
#include "platform/MessageBox.h"
#include "platform/XdgAutostart.h"

namespace wanmate {
namespace {

void shot(const char* name, QRect area = {}) {
    const char* dir = std::getenv("ZUNTO_DOC_SHOTS");
    if (!dir) return;
    QScreen* s = QGuiApplication::primaryScreen();
    if (area.isNull()) area = s->geometry();
    s->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .save(QString("%1/%2").arg(dir, name));
}

class TrayIconTest : public ::testing::Test, protected test::WanmateWindow {
protected:
    void SetUp() override {
        test::ensureApp();
        // The notification area may still be coming up.
        for (int i = 0; i < 60 && !QSystemTrayIcon::isSystemTrayAvailable(); ++i) QTest::qWait(50);
        if (!QSystemTrayIcon::isSystemTrayAvailable())
            GTEST_SKIP() << "no notification area on this display";
        ASSERT_TRUE(open());
    }
    // Starts the tray program and waits out the 2 s before the icon.
    void startAndWait(bool splash = false) {
        dlg->startTray(nullptr, splash);
        QTest::qWait(2200);
    }
    QAction* action(TrayCommand id) { return dlg->menuAction(id); }
};

TEST_F(TrayIconTest, StartUpPictureThenTheIconWhileTheWindowStaysHidden) {
    dlg->startTray(nullptr, true);
    ASSERT_TRUE(dlg->trayMode());
    CSplashWindow* splash = CSplashWindow::current();
    ASSERT_TRUE(splash);
    EXPECT_TRUE(splash->isVisible());
    EXPECT_EQ(splash->size(), QSize(360, 200));
    EXPECT_EQ(splash->geometry().center(), QGuiApplication::primaryScreen()->geometry().center());
    EXPECT_FALSE(CSplashWindow::showSplash(dlg.get()));  // one at a time
    QTest::qWait(300);
    shot("wanmate-startup.png");
    EXPECT_FALSE(dlg->trayIcon()->isVisible());
    QTest::qWait(1900);
    EXPECT_FALSE(CSplashWindow::current());
    EXPECT_TRUE(dlg->trayIcon()->isVisible());
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->trayIcon()->toolTip(), QString::fromUtf8("KelvoZunto拨号器"));
}

TEST_F(TrayIconTest, MenuItemsFollowTheConnectionStatus) {
    startAndWait();
    QMenu* menu = dlg->trayMenu();
    ASSERT_EQ(dlg->trayIcon()->contextMenu(), menu);
    QStringList texts;
    for (QAction* a : menu->actions()) texts << a->text();
    EXPECT_EQ(texts.join('|'), QString::fromUtf8("设置(&s)|刷新(u)|拨号(&d)|断开(&b)|退出(&x)"));
    // No link: 断开 grayed; this system's family has no 刷新.
    menu->popup(dlg->trayIcon()->geometry().topLeft() - QPoint(0, 140));
    QTest::qWait(200);
    EXPECT_FALSE(action(ID_HANGUP)->isEnabled());
    EXPECT_FALSE(action(ID_REFRESH)->isVisible());
    EXPECT_TRUE(action(ID_DIAL)->isEnabled());
    menu->close();
    // A link up: 断开 enabled, and it hangs every link up.
    ras.connections = {4};
    menu->popup(dlg->trayIcon()->geometry().topLeft() - QPoint(0, 140));
    QTest::qWait(200);
    EXPECT_TRUE(action(ID_HANGUP)->isEnabled());
    menu->setActiveAction(action(ID_HANGUP));
    QTest::qWait(100);
    QRect screen = QGuiApplication::primaryScreen()->geometry();
    shot("wanmate-tray-menu.png", QRect(screen.right() - 299, screen.bottom() - 219, 300, 220));
    menu->close();
    action(ID_HANGUP)->trigger();
    EXPECT_EQ(ras.hungUp, std::vector<platform::ras::HRASCONN>{4});
}

TEST_F(TrayIconTest, SettingsReplaceTheIconUntilHidden) {
    startAndWait();
    emit dlg->trayIcon()->activated(QSystemTrayIcon::DoubleClick);
    emit dlg->trayIcon()->activated(QSystemTrayIcon::DoubleClick);
    QTest::qWait(200);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_FALSE(dlg->trayIcon()->isVisible());
    EXPECT_EQ(dlg->pos(), QPoint(200, 150));
    EXPECT_EQ(dlg->size(), QSize(480, 295));
    dlg->HideToTray();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_TRUE(dlg->trayIcon()->isVisible());
}

TEST_F(TrayIconTest, DialFromTheMenuRemovesTheIconWhileTheProgressShows) {
    startAndWait();
    bool iconDuringDial = true;
    QTimer::singleShot(300, [&] {
        loop.advance(2000);  // the dialog's start wait and entry wait
        ras.notifier(0, platform::ras::RASCS_ConnectDevice, 0);
        loop.runUntilIdle();
        iconDuringDial = dlg->trayIcon()->isVisible();
    });
    QTimer::singleShot(800, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "dlg145" && w->isVisible())
                shot("wanmate-dial-progress.png", w->frameGeometry().adjusted(-12, -12, 12, 12));
        ras.notifier(0, platform::ras::RASCS_Connected, 0);
        loop.runUntilIdle();
    });
    action(ID_DIAL)->trigger();  // runs the modal progress dialog
    EXPECT_EQ(ras.dialed.size(), 1u);
    EXPECT_FALSE(iconDuringDial);
    EXPECT_TRUE(dlg->trayIcon()->isVisible());
    EXPECT_FALSE(dlg->dialing());
}

TEST_F(TrayIconTest, ExitSavesTheSettingsAsLastApplied) {
    startAndWait();
    dlg->core().settings().fields().dialNumber = "*99***1#";
    dlg->core().settings().fields().dialOnInsert = 0;
    action(ID_EXIT)->trigger();
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(reg.user.getString("Software\\Kelvo GPRS Info", "Phone number"), "*99***1#");
    EXPECT_EQ(reg.user.getDword("Software\\Kelvo GPRS Info", "bAutorun"), 0u);
    EXPECT_FALSE(dlg->trayIcon()->isVisible());
}

}  // namespace
}  // namespace wanmate
