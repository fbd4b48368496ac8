// SPDX-License-Identifier: GPL-3.0-or-later
// The phone window of the real program's frame on the real device library
// and the simulated modem: a call dialled and hung up with the window's
// own buttons.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>
#include <filesystem>
#include <sstream>

#include "FrameFixture.h"
#include "QtMessageLoop.h"
#include "phone/CPhoneButton.h"
#include "phone/CPhoneDlg.h"
#include "phone/PhoneIds.h"
#include "platform/Registry.h"
#include "shell/CMainFrame.h"
#include "shell/CMsgdeskApp.h"
#include "shell/Commands.h"
#include "shell/MainFrameCore.h"
#include "support/Zuntosim.h"

using namespace msgdesk;
using namespace msgdesk::phone;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

using msgdesk::guitest::waitFor;

TEST(PhoneWindowEndToEnd, ACallDialledWithTheWindowComesUpAndIsHungUp) {
    const std::string bin = ZUNTO_BIN_DIR;
    if (!fs::exists(bin + "/libmodlink.so") || !fs::exists(bin + "/zuntosim"))
        GTEST_SKIP() << "needs libmodlink.so and zuntosim in " << bin;
    guitest::app();
    const fs::path dir = fs::temp_directory_path() / ("phonewin-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    support::ChildProcess sim;
    const auto simPorts = support::startZuntosim(sim, {bin + "/zuntosim", "--devices", "1"}, 1);
    ASSERT_EQ(simPorts.size(), 1u);
    const std::string port = simPorts[0];
    setenv("MODLINK_PORTS", port.c_str(), 1);
    setenv("MODLINK_LIBRARY", (bin + "/libmodlink.so").c_str(), 1);
    setenv("MODLINK_USB", "0", 1);
    {
        platform::QtMessageLoop loop(qApp);
        platform::SystemClock clock;
        platform::ScriptedMessageBox boxes;
        platform::RegistryStore reg(dir / "user.reg");
        MainFrameCore core(
            MainFrameCore::Services{loop, clock, boxes, reg, (dir / "g.html").string(), dir});
        ASSERT_TRUE(core.create());
        CMainFrame frame(core);
        frame.show();
        ASSERT_TRUE(waitFor([&] { return core.link().linkActive(); }, 10000));
        frame.action(cmd::Phone)->trigger();
        CPhoneDlg* dlg = frame.phoneDialog();
        ASSERT_TRUE(dlg->isVisible());
        for (int id : {1044, 1099, 1099, 1096, 1094})  // 1 0 0 8 6
            QTest::mouseClick(dlg->button(id), Qt::LeftButton);
        QTest::mouseClick(dlg->button(IDC_DIAL), Qt::LeftButton);
        ASSERT_TRUE(waitFor([&] { return core.phone()->inCall(); }, 8000))
            << core.phone()->status();
        EXPECT_EQ(dlg->statusField()->text(), QString::fromUtf8("已接通    "));
        EXPECT_NE(sim.ask("status 1", "OK signal").find("call=0"), std::string::npos);
        QTest::mouseClick(dlg->button(IDC_HANGUP), Qt::LeftButton);
        ASSERT_TRUE(waitFor([&] { return !core.phone()->inCall(); }, 8000));
        EXPECT_EQ(dlg->statusField()->text(), QString::fromUtf8("已挂机    "));
        EXPECT_NE(sim.ask("status 1", "OK signal").find("call=none"), std::string::npos);
        EXPECT_EQ(dlg->cellPictureId(1115), IDB_CELL_COLON);
        bool closed = false;
        core.close([&] { closed = true; });
        ASSERT_TRUE(waitFor([&] { return closed; }, 5000));
    }
    sim.stop(SIGTERM);
    unsetenv("MODLINK_PORTS");
    unsetenv("MODLINK_LIBRARY");
    unsetenv("MODLINK_USB");
    fs::remove_all(dir);
}

}  // namespace
