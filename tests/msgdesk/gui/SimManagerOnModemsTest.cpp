// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>

#include "QtMessageLoop.h"
#include "SimFrameFixture.h"
#include "compose/CSimMessageDlg.h"
#include "platform/Codepage.h"
#include "platform/Registry.h"
#include "shell/CMainFrame.h"
#include "shell/CMsgdeskApp.h"
#include "shell/MainFrameCore.h"
#include "support/Zuntosim.h"
#include "types/Commands.h"

using namespace msgdesk;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

using msgdesk::guitest::waitFor;

// The real main window on the real library and simulated modems, its SIM
// manager opened by the menu command.
class SimManagerOnModems : public guitest::SimFrameFixture {
protected:
    SimManagerOnModems() : SimFrameFixture("simgui") {}
    // Starts the modems and the main window, until the command is enabled.
    void start(int devices, const std::string& before = {}) {
        startOnSims(devices, {}, before);
        if (HasFatalFailure()) return;
        ASSERT_TRUE(waitFor([&] { return core->commandEnabled(cmd::SimMessages); }, 30000));
    }
    // Opens the manager by its command; inside runs on the open dialog.
    void runManager(std::function<void(CSimMessageDlg&)> inside) {
        QTimer::singleShot(100, [inside] {
            if (auto* dlg = qobject_cast<CSimMessageDlg*>(QApplication::activeModalWidget())) {
                inside(*dlg);
                dlg->reject();
            }
        });
        frame->updateCommandUI();
        frame->action(cmd::SimMessages)->trigger();
    }
};

// The filter lists device two; the deletions the modem confirms shrink
// the open list.
TEST_F(SimManagerOnModems, TheMenuCommandListsDeviceTwoAndDeletionsShrinkTheOpenList) {
    start(2, "fill 2 3");
    core->keepOnComputerHook = [] { return 1044; };  // delete without copies
    int listed = -1, afterDelete = -1, confirmed = -1;
    QString count;
    runManager([&](CSimMessageDlg& dlg) {
        dlg.filter()->setCurrentIndex(2);
        listed = dlg.list()->rowCount();
        count = dlg.count()->text();
        dlg.list()->selectRow(0);
        dlg.list()->setFocus();
        QTest::keyClick(dlg.list(), Qt::Key_Delete);
        afterDelete = dlg.list()->rowCount();  // the rows wait for the modem
        waitFor([&] { return dlg.list()->rowCount() == 2; }, 10000);
        confirmed = dlg.list()->rowCount();
    });
    EXPECT_EQ(listed, 3);
    EXPECT_EQ(count, QString::fromUtf8("3 条"));
    EXPECT_EQ(afterDelete, 3);
    EXPECT_EQ(confirmed, 2);
    EXPECT_EQ(core->openDeviceDialog(), nullptr);
    const std::string status = sim.ask("status 2", "", 10s);
    EXPECT_NE(status.find("messages=2/"), std::string::npos) << status;
}

// Kept on the SIM (SaveInCard 1), a message in three parts is one row; the
// delete key with "keep" removes every part from the modem and files its
// whole text. SIM_SCREENSHOT_DIR=/dir keeps sim-long-message.png there.
TEST_F(SimManagerOnModems, ALongMessageKeptOnTheSimIsOneRowDeletedWholeAndKept) {
    start(1);
    core->settings().SaveInCard = 1;
    const std::string text =
        "尊敬的客户您好：您订购的宽带业务将于本月三十日到期，为避免影响您的正常使用，请在到期前"
        "登录网上营业厅或前往就近营业厅办理续费。续费成功后业务将自动延续一年，期间资费不变。"
        "如您已办理续费，请忽略本短信。感谢您一直以来的支持，祝您生活愉快！";
    ASSERT_EQ(sim.ask("sms 1 10086 balance 88.00", "", 10s), "OK");
    ASSERT_EQ(sim.ask("smsparts 1 13912345678 3 " + text, "", 10s), "OK");
    ASSERT_TRUE(waitFor([&] { return core->store().simCache().size() == 4; }, 30000));
    ASSERT_TRUE(waitFor([&] { return core->store().box(InBox).size() == 2; }, 10000));
    core->keepOnComputerHook = [] { return 1; };

    int listed = -1, confirmed = -1;
    QString count, shown;
    runManager([&](CSimMessageDlg& dlg) {
        listed = dlg.list()->rowCount();
        count = dlg.count()->text();
        for (int r = 0; r < listed; ++r) {
            if (dlg.list()->item(r, 1)->text() != QStringLiteral("13912345678")) continue;
            shown = dlg.list()->item(r, 3)->text();
            dlg.list()->selectRow(r);
        }
        QApplication::processEvents();
        if (const char* d = std::getenv("SIM_SCREENSHOT_DIR"))
            dlg.grab().save(QString::fromUtf8(d) + QStringLiteral("/sim-long-message.png"));
        dlg.list()->setFocus();
        QTest::keyClick(dlg.list(), Qt::Key_Delete);
        waitFor([&] { return dlg.list()->rowCount() == 1; }, 10000);
        confirmed = dlg.list()->rowCount();
    });
    EXPECT_EQ(listed, 2);
    EXPECT_EQ(count, QString::fromUtf8("2 条"));
    // The part count, and the start of the joined text: 160 bytes, 80 characters.
    EXPECT_EQ(shown, QStringLiteral("(3) ") + QString::fromUtf8(text.c_str()).left(80));
    EXPECT_EQ(confirmed, 1);
    const std::string status = sim.ask("status 1", "", 10s);
    EXPECT_NE(status.find("messages=1/"), std::string::npos) << status;
    const Mailbox& in = core->store().box(InBox);
    ASSERT_EQ(in.size(), 3);  // the two received, and the kept copy
    EXPECT_EQ(in.row(2).rec.number(), "13912345678");
    EXPECT_EQ(
        platform::codepage::gbkToUtf8(core->store().longTexts(InBox).wholeText(in.row(2).rec)),
        text);
}

}  // namespace
