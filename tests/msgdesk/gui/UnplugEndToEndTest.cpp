// SPDX-License-Identifier: GPL-3.0-or-later
// A modem unplugged under the open windows, end to end: the real window on
// the real device library and two simulated modems; the SIM message manager
// is open and the phone is in a call on the modem that goes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "SimFrameFixture.h"
#include "compose/CSimMessageDlg.h"
#include "phone/CPhoneButton.h"
#include "phone/CPhoneDlg.h"
#include "phone/PhoneIds.h"
#include "types/Commands.h"

using namespace msgdesk;
using namespace msgdesk::phone;
using namespace std::chrono_literals;

namespace {

using msgdesk::guitest::waitFor;

class UnplugEndToEnd : public guitest::SimFrameFixture {
protected:
    UnplugEndToEnd() : SimFrameFixture("unplug") {}
};

TEST_F(UnplugEndToEnd, TheSimManagerAndTheCallHearTheModemGoAndThePhoneDialsTheOther) {
    startOnSims(2, {}, "fill 2 3");
    if (HasFatalFailure()) return;
    ASSERT_TRUE(waitFor([&] { return core->commandEnabled(cmd::SimMessages); }, 30000));

    // A call on device 2, dialled with the window's buttons.
    frame->action(cmd::Phone)->trigger();
    CPhoneDlg* phone = frame->phoneDialog();
    QTest::mouseClick(phone->button(IDC_DEVICE), Qt::LeftButton);
    ASSERT_EQ(phone->deviceField()->text(), QStringLiteral("02"));
    for (int id : {1044, 1099, 1099, 1096, 1094})  // 1 0 0 8 6
        QTest::mouseClick(phone->button(id), Qt::LeftButton);
    QTest::mouseClick(phone->button(IDC_DIAL), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return core->phone()->inCall(); }, 8000)) << core->phone()->status();

    int before = -1, after = -1;
    bool deleteEnabled = true;
    QTimer::singleShot(100, [&] {
        auto* dlg = qobject_cast<CSimMessageDlg*>(QApplication::activeModalWidget());
        if (!dlg) return;
        before = dlg->list()->rowCount();
        dlg->list()->selectRow(0);
        EXPECT_EQ(sim.ask("unplug 2", "", 10s).rfind("OK", 0), 0u);
        waitFor([&] { return dlg->list()->rowCount() == 0; }, 10000);
        after = dlg->list()->rowCount();
        deleteEnabled = dlg->button(1078)->isEnabled();
        dlg->reject();
    });
    frame->updateCommandUI();
    frame->action(cmd::SimMessages)->trigger();
    EXPECT_EQ(before, 3);
    EXPECT_EQ(after, 0);
    EXPECT_FALSE(deleteEnabled);

    // The call ended as if hung up, and device 1 is current.
    ASSERT_TRUE(waitFor([&] { return !core->phone()->inCall(); }, 5000));
    EXPECT_EQ(phone->statusField()->text(), QString::fromUtf8("已挂机    "));
    EXPECT_EQ(phone->deviceField()->text(), QStringLiteral("01"));
    EXPECT_TRUE(core->link().linkActive());

    // Dialling again goes through the modem that is left.
    QTest::mouseClick(phone->button(IDC_REDIAL), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return core->phone()->inCall(); }, 8000)) << core->phone()->status();
    EXPECT_NE(sim.ask("status 1", "OK signal").find("call=0"), std::string::npos);
    QTest::mouseClick(phone->button(IDC_HANGUP), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return !core->phone()->inCall(); }, 8000));
}

}  // namespace
