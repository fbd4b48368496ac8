// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QTableWidget>
#include <QTreeWidget>
#include <cstdlib>
#include <map>

#include "StoreGuiSupport.h"
#include "compose/CSimMessageDlg.h"
#include "compose/SimMessageModel.h"
#include "contacts/CSettingsDlg.h"
#include "contacts/CSimInfoDlg.h"
#include "contacts/PropertiesModel.h"
#include "contacts/SimInfoModel.h"
#include "platform/Codepage.h"
#include "platform/ManualMessageLoop.h"
#include "shell/CMsgdeskApp.h"
#include "store/SimMessageCache.h"
#include "types/Settings.h"

using namespace msgdesk;
using platform::codepage::utf8ToGbk;

// The three device dialogs with two modems, as a user sees them.
// SIM_SCREENSHOT_DIR=/dir keeps sim-messages.png, properties.png and
// sim-info.png there.
TEST(SimDialogScreenshots, RenderTheThreeDialogs) {
    storegui::ensureApp();
    InitMsgdeskResources();
    SimMessageCache cache;
    const char* messages[][4] = {{"1", "13900000001", "张三", "明天上午十点开会，请准时参加。"},
                                 {"2", "10086", "", "您本月的话费账单已生成，请注意查收。"},
                                 {"2", "13700000007", "孙七", "到了给我打电话"},
                                 {"1", "13900000003", "王小明", "周末一起去爬山吧？"}};
    int index = 1;
    for (auto& m : messages) {
        MessageRecord r;
        r.Icon = std::atoi(m[0]);
        r.setNumber(m[1]);
        r.setContact(utf8ToGbk(m[2]));
        r.setText(utf8ToGbk(m[3]));
        r.setDate("2026-12-0" + std::to_string(index));
        r.setTime("09:3" + std::to_string(index) + ":07");
        r.setStatus(std::to_string(index++) + "/" + m[0]);
        cache.AddSimMessage(r);
    }
    SimMessageModel simModel(cache, 2, {});
    CSimMessageDlg simDlg(simModel);
    simDlg.show();
    simDlg.list()->selectRow(1);
    QApplication::processEvents();
    const QImage simShot = simDlg.grab().toImage();
    ASSERT_FALSE(simShot.isNull());

    Settings settings;
    platform::ScriptedMessageBox boxes;
    std::map<int, std::string> centre{{1, "+8613800100500"}, {2, "+8613800210500"}};
    PropertiesModel props(
        settings,
        {[] { return 2; }, [&](int d) { return centre[d]; }, [](int) { return true; }, {}}, boxes);
    CSettingsDlg propsDlg(props);
    propsDlg.show();
    QApplication::processEvents();
    const QImage propsShot = propsDlg.grab().toImage();
    ASSERT_FALSE(propsShot.isNull());

    platform::ManualMessageLoop loop;
    DeviceSnapshot snap;
    snap.deviceCount = 2;
    snap.devices[1] = {250, 12, 50, 4};
    snap.devices[2] = {250, 3, 50, 50};
    SimInfoModel info(loop, snap);
    CSimInfoDlg infoDlg(info);
    infoDlg.show();
    loop.advance(1000);  // the full card's line is selected on the second tick
    QApplication::processEvents();
    const QImage infoShot = infoDlg.grab().toImage();
    ASSERT_FALSE(infoShot.isNull());
    EXPECT_EQ(infoDlg.tree()->selectedItems().size(), 1);

    if (const char* dir = std::getenv("SIM_SCREENSHOT_DIR")) {
        simShot.save(QString::fromUtf8(dir) + QStringLiteral("/sim-messages.png"));
        propsShot.save(QString::fromUtf8(dir) + QStringLiteral("/properties.png"));
        infoShot.save(QString::fromUtf8(dir) + QStringLiteral("/sim-info.png"));
    }
}
