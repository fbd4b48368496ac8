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

#include "QtMessageLoop.h"
#include "SimFrameFixture.h"
#include "phone/CPhoneButton.h"
#include "phone/CPhoneDlg.h"
#include "phone/PhoneIds.h"
#include "platform/Registry.h"
#include "shell/CMainFrame.h"
#include "shell/CMsgdeskApp.h"
#include "shell/MainFrameCore.h"
#include "support/Zuntosim.h"
#include "types/Commands.h"

using namespace msgdesk;
using namespace msgdesk::phone;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

using msgdesk::guitest::waitFor;

class PhoneWindowEndToEnd : public guitest::SimFrameFixture {
protected:
    PhoneWindowEndToEnd() : SimFrameFixture("phonewin") {}
};

TEST_F(PhoneWindowEndToEnd, ACallDialledWithTheWindowComesUpAndIsHungUp) {
    startOnSims(1);
    if (HasFatalFailure()) return;
    ASSERT_TRUE(waitFor([&] { return core->link().linkActive(); }, 10000));
    frame->action(cmd::Phone)->trigger();
    CPhoneDlg* dlg = frame->phoneDialog();
    ASSERT_TRUE(dlg->isVisible());
    for (int id : {1044, 1099, 1099, 1096, 1094})  // 1 0 0 8 6
        QTest::mouseClick(dlg->button(id), Qt::LeftButton);
    QTest::mouseClick(dlg->button(IDC_DIAL), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return core->phone()->inCall(); }, 8000)) << core->phone()->status();
    EXPECT_EQ(dlg->statusField()->text(), QString::fromUtf8("已接通    "));
    EXPECT_NE(sim.ask("status 1", "OK signal").find("call=0"), std::string::npos);
    QTest::mouseClick(dlg->button(IDC_HANGUP), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return !core->phone()->inCall(); }, 8000));
    EXPECT_EQ(dlg->statusField()->text(), QString::fromUtf8("已挂机    "));
    EXPECT_NE(sim.ask("status 1", "OK signal").find("call=none"), std::string::npos);
    EXPECT_EQ(dlg->cellPictureId(1115), IDB_CELL_COLON);
}

}  // namespace
