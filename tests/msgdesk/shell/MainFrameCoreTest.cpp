// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "msgdesk/FakeDeviceLibrary.h"
#include "platform/ManualMessageLoop.h"
#include "platform/Registry.h"
#include "shell/MainFrameCore.h"
#include "types/Commands.h"

using namespace msgdesk;
using msgdesk::test::FakeDeviceLibrary;
namespace fs = std::filesystem;

namespace {

struct RecordingWindow final : FrameWindow {
    std::map<int, std::string> panes;
    int progress = -1, icon = 0, ring = 0, about = 0, phone = 0, closes = 0;
    bool simFull = false;
    void setPaneText(int p, const std::string& t) override { panes[p] = t; }
    void setProgress(int p) override { progress = p; }
    void setSendIcon(int i) override { icon = i; }
    void setSimFullVisible(bool v) override { simFull = v; }
    void showRingImage(int i) override { ring = i; }
    void showPhoneDialog() override { ++phone; }
    void showAbout() override { ++about; }
    void closeWindow() override { ++closes; }
};

class MainFrameCoreTest : public ::testing::Test {
protected:
    fs::path dir = fs::temp_directory_path() /
                   ("framecore-" + std::to_string(::getpid()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
    platform::ManualMessageLoop loop;
    platform::ScriptedMessageBox boxes;
    FakeDeviceLibrary fake;
    DeviceLibrary table = fake.table();
    std::unique_ptr<platform::RegistryStore> reg;
    std::unique_ptr<MainFrameCore> core;
    RecordingWindow window;

    void SetUp() override {
        fs::create_directories(dir);
        reg = std::make_unique<platform::RegistryStore>(dir / "user.reg");
        fake.setDeviceCount(2);
    }
    void TearDown() override {
        core.reset();
        fs::remove_all(dir);
    }
    void make(const DeviceLibrary* lib) {
        core = std::make_unique<MainFrameCore>(MainFrameCore::Services{
            loop, loop.clock(), boxes, *reg, (dir / "guide.html").string(), dir, lib});
        core->attachWindow(&window);
    }
};

TEST_F(MainFrameCoreTest, CreationReadsSettingsAndConnectsByItself) {
    reg->setDword("Software\\Kelvo\\KelvoZunto短信中心\\settings", "Resend", 3);
    make(&table);
    ASSERT_TRUE(core->create());
    EXPECT_EQ(core->settings().Resend, 3);
    EXPECT_EQ(core->settings().Sound, 0);
    EXPECT_TRUE(core->commandEnabled(cmd::Connect));
    EXPECT_FALSE(core->commandEnabled(cmd::Disconnect));
    loop.runUntilIdle();  // the posted connect command
    EXPECT_EQ(fake.count(FakeDeviceLibrary::Op::InitModules), 1);
    EXPECT_TRUE(core->link().linkActive());
    EXPECT_FALSE(core->commandEnabled(cmd::Connect));
    EXPECT_TRUE(core->commandEnabled(cmd::Disconnect));
    // SIM commands wait for the start-up poll's second phase.
    EXPECT_FALSE(core->commandEnabled(cmd::SimMessages));
    // The mailboxes and the contact book are on disk from the start.
    EXPECT_TRUE(fs::exists(dir / "data" / "InBox.db"));
    EXPECT_TRUE(fs::exists(dir / "data" / "contact.db"));
}

TEST_F(MainFrameCoreTest, MissingLibraryShows60010WithStopIconAndFails) {
    setenv("MODLINK_LIBRARY", (dir / "no-such-lib.so").c_str(), 1);
    make(nullptr);
    EXPECT_FALSE(core->create());
    unsetenv("MODLINK_LIBRARY");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].stringId, 60010u);
    EXPECT_EQ(boxes.shown[0].icon, platform::MbIcon::Stop);
    // Nothing was read before the library was bound: the frame's start values.
    EXPECT_EQ(core->settings().Sound, 1);
}

TEST_F(MainFrameCoreTest, StatusPaneMessagesReachTheWindow) {
    make(&table);
    ASSERT_TRUE(core->create());
    loop.runUntilIdle();
    loop.send(core.get(), UM_STATUSPANE, PANE_MAILBOX, 2);
    EXPECT_EQ(window.panes[PANE_MAILBOX], " 欢迎使用KelvoZunto...");
    fake.fire(4, "17", 2);  // device 2 at level 17
    loop.runUntilIdle();
    EXPECT_EQ(window.panes[PANE_SIGNAL], "Zunto[2]信号");
    EXPECT_EQ(window.progress, 17);
}

TEST_F(MainFrameCoreTest, ClosingAsksWhenBusyAndWhileSendingThenSaves) {
    make(&table);
    ASSERT_TRUE(core->create());
    loop.runUntilIdle();
    // Busy: more than 3 outstanding requests per device.
    for (int i = 0; i < 7; ++i) core->link().pending().add(5000 + i, 1, std::string("NULL"));
    bool sending = true;
    core->sendBatchRunningHook = [&] { return sending; };
    boxes.answers = {platform::IDNO};
    EXPECT_FALSE(core->queryClose());
    ASSERT_EQ(boxes.shown.back().stringId, 60033u);
    boxes.answers = {platform::IDYES, platform::IDNO};
    EXPECT_FALSE(core->queryClose());
    EXPECT_EQ(boxes.shown.back().stringId, 60001u);
    EXPECT_EQ(boxes.shown.back().icon, platform::MbIcon::Information);
    boxes.answers = {platform::IDYES, platform::IDYES};
    EXPECT_TRUE(core->queryClose());

    core->settings().Volume = 70;
    bool done = false;
    core->close([&] { done = true; });
    EXPECT_FALSE(done);  // the disconnect pauses 300 ms first
    loop.advance(300);
    ASSERT_TRUE(done);
    EXPECT_EQ(fake.count(FakeDeviceLibrary::Op::UnattachPhone), 2);
    EXPECT_EQ(fake.count(FakeDeviceLibrary::Op::CloseModules), 1);
    EXPECT_EQ(reg->getDword("Software\\Kelvo\\KelvoZunto短信中心\\Settings", "Volume"), 70u);
    EXPECT_TRUE(core->closed());
}

// The last device unplugged during the closing pause queues its notice behind
// the closing work, which destroys the link: the notice must not run on it.
TEST_F(MainFrameCoreTest, LastDeviceUnpluggedWhileClosingTouchesNoDestroyedLink) {
    make(&table);
    ASSERT_TRUE(core->create());
    loop.runUntilIdle();
    ASSERT_TRUE(core->link().linkActive());
    fake.fire(1, nullptr, 2);
    loop.runUntilIdle();
    const size_t shownBefore = boxes.shown.size();
    bool done = false;
    core->close([&] { done = true; });
    fake.fire(1, nullptr, 1);
    loop.runUntilIdle();
    loop.advance(300);
    ASSERT_TRUE(done);
    EXPECT_TRUE(core->closed());
    EXPECT_FALSE(core->hasLink());
    EXPECT_EQ(boxes.shown.size(), shownBefore);
}

// Destroyed without closing while the last device's removal is pausing: the
// library must still be closed, or it calls back into the destroyed link.
TEST_F(MainFrameCoreTest, DestroyedDuringTheRemovalPauseClosesTheLibrary) {
    fake.setDeviceCount(1);
    make(&table);
    ASSERT_TRUE(core->create());
    loop.runUntilIdle();
    fake.fire(1, nullptr, 1);
    loop.runUntilIdle();
    ASSERT_FALSE(core->link().linkActive());
    ASSERT_TRUE(core->link().disconnectPending());
    core.reset();
    EXPECT_EQ(fake.count(FakeDeviceLibrary::Op::CloseModules), 1);
}

TEST_F(MainFrameCoreTest, PaneDoubleClickReachesTheLink) {
    make(&table);
    ASSERT_TRUE(core->create());
    loop.runUntilIdle();
    core->paneDoubleClicked(PANE_CAPACITY);  // still initialising the SIMs
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_EQ(boxes.shown.back().stringId, 60061u);
}

TEST_F(MainFrameCoreTest, HelpWithoutADesktopHandlerSaysWhereTheGuideIs) {
    make(&table);
    std::ofstream(dir / "guide.html") << "<html></html>";
    setenv("XDG_OPEN_PROGRAM", "none", 1);
    core->command(cmd::Help);
    unsetenv("XDG_OPEN_PROGRAM");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].text.find((dir / "guide.html").string()), std::string::npos);
}

}  // namespace
