// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "msgdesk/FakeDeviceLibrary.h"
#include "msgdesk/shell/CoreFrameFixture.h"
#include "msgdesk/store/StoreTestSupport.h"
#include "platform/ManualMessageLoop.h"
#include "platform/Registry.h"
#include "shell/MainFrameCore.h"
#include "types/Commands.h"

namespace msgdesk::test {
namespace {

using Op = FakeDeviceLibrary::Op;

MessageRecord simRecord(int device, int index, const std::string& number) {
    MessageRecord r;
    r.Icon = device;
    r.setNumber(number);
    r.setText("on sim " + number);
    r.setDate("2026-01-02");
    r.setTime("10:11:12");
    r.setStatus(std::to_string(index) + "/" + std::to_string(device));
    return r;
}

// The device dialogs as the assembled main frame opens them, with two
// devices whose centres are read (device 2's only when a test says so).
class MainFrameDialogs : public CoreFrameFixture {
protected:
    void start(bool answerDevice2 = true) {
        connect(2, [&](int d) { return d == 1 || answerDevice2; });
        for (int d = 1; d <= 2; ++d) lib.fire(264, nullptr, d);  // the SIM listings end
        loop.runUntilIdle();
        lib.clearCalls();
    }
    std::optional<uint32_t> stored(const char* name) {
        return reg.getDword(std::string(Settings::kProfileKey) + "\\settings", name);
    }
    int shown(unsigned id) const {
        int n = 0;
        for (auto& r : boxes.shown) n += r.stringId == id;
        return n;
    }
};

TEST_F(MainFrameDialogs, DeletingThreeKeptRowsCopiesThemAndRemovesEachAsItIsConfirmed) {
    start();
    auto& cache = core->store().simCache();
    cache.AddSimMessage(simRecord(1, 1, "1001"));
    for (int i = 1; i <= 3; ++i) cache.AddSimMessage(simRecord(2, i, "200" + std::to_string(i)));
    ASSERT_TRUE(core->commandEnabled(cmd::SimMessages));
    core->keepOnComputerHook = [] { return 1; };
    std::vector<size_t> rowsSeen;
    core->simMessageDialogHook = [&](SimMessageModel& m) {
        EXPECT_EQ(core->openDeviceDialog(), &m);
        m.setFilter(2);
        EXPECT_EQ(m.countText(), "3 条");
        m.setSelection({0, 1, 2});
        EXPECT_TRUE(m.deleteSelected());
        EXPECT_EQ(core->store().box(InBox).size(), 3);
        const auto dels = lib.calls(Op::DelSMSMessage);
        EXPECT_EQ(dels.size(), 3u);
        for (const auto& c : dels) {
            EXPECT_EQ(c.a, 2);
            lib.fire(262, "OK", c.result);
            loop.runUntilIdle();
            rowsSeen.push_back(m.rows().size());
        }
        return 2;
    };
    core->command(cmd::SimMessages);
    EXPECT_EQ(rowsSeen, (std::vector<size_t>{2, 1, 0}));
    EXPECT_EQ(core->openDeviceDialog(), nullptr);
    EXPECT_EQ(cache.size(), 1);
    EXPECT_EQ(core->store().box(InBox).row(0).rec.status(), "");  // read copies
}

TEST_F(MainFrameDialogs, ExportLeavesTheRowAndFilesOneReadCopy) {
    start();
    core->store().simCache().AddSimMessage(simRecord(2, 4, "2004"));
    core->simMessageDialogHook = [&](SimMessageModel& m) {
        m.setSelection({0});
        m.exportSelected();
        return 2;
    };
    core->command(cmd::SimMessages);
    EXPECT_EQ(lib.count(Op::DelSMSMessage), 0);
    EXPECT_EQ(core->store().simCache().size(), 1);
    ASSERT_EQ(core->store().box(InBox).size(), 1);
    const MessageRecord& copy = core->store().box(InBox).row(0).rec;
    EXPECT_EQ(copy.number(), "2004");
    EXPECT_EQ(copy.text(), "on sim 2004");
    EXPECT_EQ(copy.time(), "10:11:12");
    EXPECT_EQ(copy.status(), "");
}

TEST_F(MainFrameDialogs, CancelInTheKeepPromptDeletesNothing) {
    start();
    core->store().simCache().AddSimMessage(simRecord(2, 1, "2001"));
    core->keepOnComputerHook = [] { return 2; };
    core->simMessageDialogHook = [&](SimMessageModel& m) {
        m.setSelection({0});
        m.deleteSelected();
        return 2;
    };
    core->command(cmd::SimMessages);
    EXPECT_EQ(lib.count(Op::DelSMSMessage), 0);
    EXPECT_EQ(core->store().box(InBox).size(), 0);
}

TEST_F(MainFrameDialogs, OneChangedCentreIsSentToEveryDeviceAndTheSettingsAreStoredAtOnce) {
    start();
    core->settingsDialogHook = [](PropertiesModel& m) {
        EXPECT_EQ(m.resendPosition, 4);
        m.resendPosition = 19;
        m.keepSimCopy = true;
        EXPECT_TRUE(m.beginEdit(1));
        m.endEdit(1, std::string("+8613800210500"));
        return platform::IDOK;
    };
    core->command(cmd::Settings);
    const auto sets = lib.calls(Op::SetGSMCenter);
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[0].a, 1);
    EXPECT_EQ(sets[0].s1, "+8613800100500");
    EXPECT_EQ(sets[1].a, 2);
    EXPECT_EQ(sets[1].s1, "+8613800210500");
    EXPECT_EQ(core->link().devices().centreNumber(2), "+8613800210500");
    EXPECT_EQ(core->settings().Resend, 20);
    EXPECT_EQ(stored("Resend"), 20u);  // before the window closes
    EXPECT_EQ(stored("SaveInCard"), 1u);
}

TEST_F(MainFrameDialogs, OkWithoutAChangeSendsNothingAndCancelStoresNothing) {
    start();
    core->settingsDialogHook = [](PropertiesModel&) { return platform::IDOK; };
    core->command(cmd::Settings);
    EXPECT_EQ(lib.count(Op::SetGSMCenter), 0);
    EXPECT_EQ(stored("Resend"), 5u);
    core->settingsDialogHook = [](PropertiesModel& m) {
        m.resendPosition = 2;
        m.beginEdit(0);
        m.endEdit(0, std::string("10086"));
        return platform::IDCANCEL;
    };
    core->command(cmd::Settings);
    EXPECT_EQ(lib.count(Op::SetGSMCenter), 0);
    EXPECT_EQ(core->settings().Resend, 5);
    EXPECT_EQ(stored("Resend"), 5u);
}

TEST_F(MainFrameDialogs, AStoredResendOutsideTheListIsOnlyChangedByOk) {
    reg.setDword(std::string(Settings::kProfileKey) + "\\settings", "Resend", 0);
    start();
    EXPECT_EQ(core->settings().Resend, 0);  // used as it stands
    core->settingsDialogHook = [](PropertiesModel& m) {
        EXPECT_EQ(m.resendPosition, 0);  // "1", the nearest entry
        return platform::IDCANCEL;
    };
    core->command(cmd::Settings);
    EXPECT_EQ(core->settings().Resend, 0);
    core->settingsDialogHook = [](PropertiesModel&) { return platform::IDOK; };
    core->command(cmd::Settings);
    EXPECT_EQ(core->settings().Resend, 1);
}

TEST_F(MainFrameDialogs, ARefusedOrFailedSetKeepsTheOldNumberAndTellsOncePerDevice) {
    start();
    lib.queueResults(Op::SetGSMCenter, {-1, FakeDeviceLibrary::kAutoId});
    core->settingsDialogHook = [](PropertiesModel& m) {
        m.beginEdit(0);
        m.endEdit(0, std::string("+8613800110500"));
        m.beginEdit(1);
        m.endEdit(1, std::string("+8613800210500"));
        return platform::IDOK;
    };
    core->command(cmd::Settings);
    loop.runUntilIdle();
    // Device 1 refused at once: its old number stays, 60060 once.
    EXPECT_EQ(core->link().devices().centreNumber(1), "+8613800100500");
    EXPECT_EQ(core->link().devices().centreNumber(2), "+8613800210500");
    EXPECT_EQ(shown(60060), 1);
    // Device 2's answer fails: its old number comes back, 60060 again.
    lib.fire(257, "ERROR", lib.lastResult(Op::SetGSMCenter));
    loop.runUntilIdle();
    EXPECT_EQ(core->link().devices().centreNumber(2), "+8613800200500");
    EXPECT_EQ(shown(60060), 2);
}

TEST_F(MainFrameDialogs, AnUnreadCentreWaitsForSimReadyWhileTheDialogIsOpen) {
    start(false);
    bool enabledAtOpen = true;
    std::string shownAtOpen;
    core->settingsDialogHook = [&](PropertiesModel& m) {
        enabledAtOpen = m.listEnabled();
        shownAtOpen = m.displayText(1);
        loop.advance(5000);  // the start-up poll asks device 2 again
        EXPECT_FALSE(m.listEnabled());
        for (auto& c : lib.calls(Op::GetGSMCenter))
            if (c.a == 2) lib.fire(258, "+8613800200500", c.result);
        loop.advance(5000);  // the start-up poll's next tick
        EXPECT_TRUE(m.listEnabled());
        EXPECT_EQ(m.displayText(1), "+8613800200500");
        return platform::IDCANCEL;
    };
    core->command(cmd::Settings);
    EXPECT_FALSE(enabledAtOpen);
    EXPECT_EQ(shownAtOpen, "正在初始化...");
}

TEST_F(MainFrameDialogs, SimInformationShowsEveryDeviceAndTheFullOneBlinks) {
    start();
    SimInfoModel* opened = nullptr;
    std::vector<int> selected;
    core->simInfoDialogHook = [&](SimInfoModel& m) {
        opened = &m;
        m.setSelectHandler([&](int d) { selected.push_back(d); });
        m.start();
        loop.advance(1000);
    };
    core->command(cmd::SimInfo);
    ASSERT_NE(opened, nullptr);
    // Nothing reported: both stores read 0 of 0 and count as full; the first blinks.
    EXPECT_EQ(selected, (std::vector<int>{0, 1}));
    // The SIM-full pane's double-click opens it too, once the cards are listed.
    opened = nullptr;
    core->paneDoubleClicked(PANE_CAPACITY);
    EXPECT_NE(opened, nullptr);
    EXPECT_EQ(shown(60061), 0);
}

TEST_F(MainFrameDialogs, ThePaneDoubleClickWhileCardsAreListedSaysWaitAndOpensNothing) {
    start(false);
    int opened = 0;
    core->simInfoDialogHook = [&](SimInfoModel&) { ++opened; };
    core->paneDoubleClicked(PANE_CAPACITY);
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(shown(60061), 1);
}

}  // namespace
}  // namespace msgdesk::test
