// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include "ModemPreparation.h"
#include "WanmateCore.h"
#include "WanmateMessages.h"
#include "WanmateTestSupport.h"
#include "platform/HotplugMonitor.h"
#include "platform/ManualMessageLoop.h"
#include "res/Texts.h"

namespace wanmate {
namespace {

using platform::DBT_DEVICEARRIVAL;
using platform::DBT_DEVICEREMOVECOMPLETE;
using platform::DBT_DEVNODES_CHANGED;

class NoAutostart final : public platform::AutostartPort {
public:
    bool present() const override { return false; }
    bool install(const std::string&) override { return true; }
    bool remove() override { return true; }
};

class DevicePresenceTest : public ::testing::Test {
protected:
    void start(std::optional<unsigned> major, uint32_t dialOnInsert) {
        reg.user.setDword(kSettingsKey, "bAutorun", dialOnInsert);
        reg.user.setDword(kSettingsKey, "IP address", 0);
        reg.user.setString(kSettingsKey, "Init Command", "AT");
        version = std::make_unique<test::FixedVersion>(major);
        core = std::make_unique<WanmateCore>(
            WanmateServices{loop, reg, usb, *version, autostart, box, "/bin/wanmate"}, view);
        core->setDialRequestHandler([this] { ++dials; });
        started = core->initialise();
    }
    void change(unsigned type) {
        loop.post(core.get(), WM_DEVICECHANGE, type);
        loop.runUntilIdle();
    }

    test::TempDir dir;
    test::SysfsTree tree{dir.path()};
    test::FaultyRegistry reg{dir.path()};
    platform::usb::SysfsUsbHost usb{tree.root()};
    platform::ManualMessageLoop loop;
    test::FakeSettingsView view;
    NoAutostart autostart;
    platform::ScriptedMessageBox box;
    std::unique_ptr<test::FixedVersion> version;
    std::unique_ptr<WanmateCore> core;
    bool started = false;
    int dials = 0;
};

TEST_F(DevicePresenceTest, OlderFamilyDialsOnTheFirstArrivalAfterTheWait) {
    tree.hub("usb1", 4);
    start(4, 1);
    ASSERT_TRUE(started);
    EXPECT_EQ(core->osFamily(), 1);
    EXPECT_EQ(core->deviceCount(), 0);

    tree.modem("1-1");
    change(DBT_DEVICEARRIVAL);
    EXPECT_EQ(core->deviceCount(), 1);
    loop.advance(2399);
    EXPECT_EQ(dials, 0);
    loop.advance(1);
    EXPECT_EQ(dials, 1);
    loop.advance(10000);
    EXPECT_EQ(dials, 1) << "one dial per arrival";

    // With a modem counted, a further arrival is not looked at, nor is any
    // other event type.
    tree.modem("1-2");
    change(DBT_DEVICEARRIVAL);
    change(DBT_DEVNODES_CHANGED);
    loop.advance(5000);
    EXPECT_EQ(core->deviceCount(), 1);
    EXPECT_EQ(dials, 1);

    tree.unplug("1-1");
    tree.unplug("1-2");
    change(DBT_DEVICEREMOVECOMPLETE);
    EXPECT_EQ(core->deviceCount(), 0);
    loop.advance(5000);
    EXPECT_EQ(dials, 1);
}

TEST_F(DevicePresenceTest, NewerFamilyCountsTheSecondModemAtTheNextEventOfAnotherType) {
    tree.hub("usb1", 4);
    tree.modem("1-1");
    start(5, 1);
    EXPECT_EQ(core->osFamily(), 2);
    EXPECT_EQ(core->deviceCount(), 1);
    loop.advance(5000);
    EXPECT_EQ(dials, 0) << "a modem present at start is counted, not dialled";

    tree.modem("1-2");
    change(DBT_DEVICEARRIVAL);
    EXPECT_EQ(core->deviceCount(), 1);
    change(DBT_DEVNODES_CHANGED);
    EXPECT_EQ(core->deviceCount(), 2);
    loop.advance(2399);
    EXPECT_EQ(dials, 0);
    loop.advance(1);
    EXPECT_EQ(dials, 1);

    // Same count again, then fewer: no dial.
    change(DBT_DEVNODES_CHANGED);
    tree.unplug("1-2");
    change(DBT_DEVICEREMOVECOMPLETE);
    EXPECT_EQ(core->deviceCount(), 1);
    loop.advance(5000);
    EXPECT_EQ(dials, 1);
}

TEST_F(DevicePresenceTest, WithDialOnInsertOffChangesOnlyUpdateTheCount) {
    for (unsigned major : {4u, 5u}) {
        SCOPED_TRACE(major);
        tree.unplug("1-1");
        tree.hub("usb1", 2);
        start(major, 0);
        tree.modem("1-1");
        change(DBT_DEVICEARRIVAL);
        change(DBT_DEVNODES_CHANGED);
        EXPECT_EQ(core->deviceCount(), 1);
        loop.advance(10000);
        EXPECT_EQ(dials, 0);
    }
}

TEST_F(DevicePresenceTest, AnUnreadableVersionIsReportedAndEndsTheStart) {
    start(std::nullopt, 1);
    EXPECT_FALSE(started);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, text::kVersionError);
    EXPECT_EQ(box.shown[0].caption, "");
}

TEST_F(DevicePresenceTest, RefreshDropsTheEnumerationKeysAndClearsDialOnInsert) {
    start(4, 1);
    reg.machine.createKey(std::string(kEnumKey) + "\\A\\deep");
    reg.machine.createKey(std::string(kEnumKey) + "\\B");
    EXPECT_TRUE(core->RefreshDevice());
    EXPECT_FALSE(reg.machine.enumSubKey(kEnumKey, 0));
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, "刷新设备成功，请重新拔插Zunto\n并手动拨号。");
    EXPECT_EQ(box.shown[0].caption, "提示");
    EXPECT_EQ(box.shown[0].icon, platform::MbIcon::Information);
    EXPECT_EQ(view.shown.dialOnInsert, 0u);
    EXPECT_EQ(reg.user.getDword(kSettingsKey, "bAutorun"), 1u) << "saved with the next save";

    EXPECT_TRUE(core->RefreshDevice());
    EXPECT_EQ(box.shown.back().text, "刷新设备成功，请重新拔插Zunto！");

    // A deletion that fails ends the loop; a key that cannot be made, the refresh.
    reg.machine.createKey(std::string(kEnumKey) + "\\C");
    reg.failDelete.insert(std::string(kEnumKey) + "\\C");
    EXPECT_TRUE(core->RefreshDevice());
    reg.failCreate.insert(kEnumKey);
    size_t shown = box.shown.size();
    EXPECT_FALSE(core->RefreshDevice());
    EXPECT_EQ(box.shown.size(), shown);
}

// A udev stand-in: each event written to the pipe wakes the monitor.
class PipeSource final : public platform::UeventSource {
public:
    PipeSource() { (void)!pipe(m_fds); }
    ~PipeSource() override {
        close(m_fds[0]);
        close(m_fds[1]);
    }
    int fd() const override { return m_fds[0]; }
    std::optional<platform::Uevent> receive() override {
        char c;
        if (read(m_fds[0], &c, 1) != 1) return std::nullopt;
        return c == 'a' ? platform::Uevent{"add", "usb", "usb_device", "/x"}
                        : platform::Uevent{"remove", "usb", "usb_device", "/x"};
    }
    void emit(char c) { (void)!write(m_fds[1], &c, 1); }

private:
    int m_fds[2];
};

TEST_F(DevicePresenceTest, APluggedSecondModemIsDialledThroughTheHotplugMonitor) {
    tree.hub("usb1", 4);
    tree.modem("1-1", "ttyUSB0");
    start(5, 1);
    auto source = std::make_unique<PipeSource>();
    PipeSource* pipe = source.get();
    platform::HotplugMonitor monitor(std::move(source), loop, core.get());
    ASSERT_TRUE(monitor.start());

    tree.modem("1-3", "ttyUSB2");
    pipe->emit('a');
    for (int i = 0; i < 200 && loop.queued() < 2; ++i) usleep(5000);
    monitor.stop();
    loop.runUntilIdle();
    EXPECT_EQ(core->deviceCount(), 2);
    loop.advance(2400);
    EXPECT_EQ(dials, 1);
    // The new modem's port got its driver key, so the init command reaches it.
    EXPECT_TRUE(reg.machine.keyExists(std::string(kModemClassKey2) + "\\ttyUSB2"));
    EXPECT_TRUE(reg.machine.keyExists(std::string(kModemClassKey2) + "\\ttyUSB0"));
}

}  // namespace
}  // namespace wanmate
