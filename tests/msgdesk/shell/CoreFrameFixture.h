// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The assembled main frame without a window, over the fake device library
// and a manual message loop, in a throwaway directory.
#include <gtest/gtest.h>

#include <memory>

#include "msgdesk/FakeDeviceLibrary.h"
#include "msgdesk/store/StoreTestSupport.h"
#include "platform/ManualMessageLoop.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "shell/FrameWindow.h"
#include "shell/MainFrameCore.h"

namespace msgdesk::test {

// A main window that shows nothing; tests override what they watch.
struct QuietWindow : FrameWindow {
    void setPaneText(int, const std::string&) override {}
    void setProgress(int) override {}
    void setSendIcon(int) override {}
    void setSimFullVisible(bool) override {}
    void showRingImage(int) override {}
    void showPhoneDialog() override {}
    void showAbout() override {}
    void closeWindow() override {}
};

class CoreFrameFixture : public ::testing::Test {
protected:
    void makeCore() {
        core = std::make_unique<MainFrameCore>(
            MainFrameCore::Services{loop, loop.clock(), boxes, reg, "", dir.path, &table});
    }
    // Creates the core with `devices` attached and runs the start-up: each
    // device's centre is answered (device d: "+86138001d0500") when
    // answered(d) says so; the calls made so far are then forgotten.
    template <class Answered>
    void connect(int devices, Answered answered) {
        if (!core) makeCore();
        lib.setDeviceCount(devices);
        ASSERT_TRUE(core->create());
        loop.runUntilIdle();
        loop.advance(5000);
        for (auto& c : lib.calls(FakeDeviceLibrary::Op::GetGSMCenter))
            if (answered(c.a))
                lib.fire(258, c.a == 1 ? "+8613800100500" : "+8613800200500", c.result);
        loop.advance(5000);
        loop.runUntilIdle();
    }
    void connect(int devices = 1) {
        connect(devices, [](int) { return true; });
    }
    void TearDown() override {
        if (!core) return;
        core->close();
        loop.advance(1000);
        core.reset();
    }

    storetest::TempDir dir;
    platform::RegistryStore reg{dir.path / "registry"};
    platform::ManualMessageLoop loop;
    platform::ScriptedMessageBox boxes;
    FakeDeviceLibrary lib;
    DeviceLibrary table = lib.table();
    std::unique_ptr<MainFrameCore> core;
};

}  // namespace msgdesk::test
