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
#include <sstream>

#include "FrameFixture.h"
#include "QtMessageLoop.h"
#include "compose/CSimMessageDlg.h"
#include "platform/Registry.h"
#include "shell/CMainFrame.h"
#include "shell/CMsgdeskApp.h"
#include "shell/Commands.h"
#include "shell/MainFrameCore.h"
#include "support/Zuntosim.h"

using namespace msgdesk;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

using msgdesk::guitest::waitFor;

// The real main window on the real library and two simulated modems: the
// SIM manager command opens the dialog, whose list follows the filter and
// the deletions the modem confirms while it is open.
TEST(SimManagerOnModems, TheMenuCommandListsDeviceTwoAndDeletionsShrinkTheOpenList) {
    const std::string bin = ZUNTO_BIN_DIR;
    for (const char* f : {"/libmodlink.so", "/zuntosim"})
        if (!fs::exists(bin + f)) GTEST_SKIP() << "no " << bin << f;
    guitest::app();
    const fs::path dir = fs::temp_directory_path() / ("simgui-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    support::ChildProcess sim;
    const auto simPorts = support::startZuntosim(sim, {bin + "/zuntosim", "--devices", "2"}, 2);
    ASSERT_EQ(static_cast<int>(simPorts.size()), 2);
    std::string ports = support::joinPorts(simPorts);
    ASSERT_EQ(sim.ask("fill 2 3", "", 10s).rfind("OK", 0), 0u);
    setenv("MODLINK_PORTS", ports.c_str(), 1);
    setenv("MODLINK_LIBRARY", (bin + "/libmodlink.so").c_str(), 1);

    auto* loop = new platform::QtMessageLoop(qApp);
    platform::SystemClock clock;
    platform::ScriptedMessageBox boxes;
    platform::RegistryStore reg(dir / "user.reg");
    {
        MainFrameCore core(MainFrameCore::Services{*loop, clock, boxes, reg, "", dir, nullptr});
        ASSERT_TRUE(core.create());
        CMainFrame frame(core);
        frame.show();
        ASSERT_TRUE(waitFor([&] { return core.commandEnabled(cmd::SimMessages); }, 30000));
        core.keepOnComputerHook = [] { return 1044; };  // delete without copies

        int listed = -1, afterDelete = -1, confirmed = -1;
        QString count;
        QTimer::singleShot(100, [&] {
            auto* dlg = qobject_cast<CSimMessageDlg*>(QApplication::activeModalWidget());
            if (!dlg) return;
            dlg->filter()->setCurrentIndex(2);
            listed = dlg->list()->rowCount();
            count = dlg->count()->text();
            dlg->list()->selectRow(0);
            dlg->list()->setFocus();
            QTest::keyClick(dlg->list(), Qt::Key_Delete);
            afterDelete = dlg->list()->rowCount();  // the rows wait for the modem
            waitFor([&] { return dlg->list()->rowCount() == 2; }, 10000);
            confirmed = dlg->list()->rowCount();
            dlg->reject();
        });
        frame.updateCommandUI();
        frame.action(cmd::SimMessages)->trigger();
        EXPECT_EQ(listed, 3);
        EXPECT_EQ(count, QString::fromUtf8("3 条"));
        EXPECT_EQ(afterDelete, 3);
        EXPECT_EQ(confirmed, 2);
        EXPECT_EQ(core.openDeviceDialog(), nullptr);
        const std::string status = sim.ask("status 2", "", 10s);
        EXPECT_NE(status.find("messages=2/"), std::string::npos) << status;
        bool closed = false;
        core.close([&] { closed = true; });
        waitFor([&] { return closed; }, 5000);
    }
    delete loop;
    sim.stop(SIGTERM);
    unsetenv("MODLINK_PORTS");
    unsetenv("MODLINK_LIBRARY");
    fs::remove_all(dir);
}

}  // namespace
