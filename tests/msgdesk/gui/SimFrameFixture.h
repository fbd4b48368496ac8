// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The real main window over its core on the real device library and
// simulated modems, in a throwaway directory with its own registry file.
// Skips until the library and the simulator are built.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "FrameFixture.h"
#include "QtMessageLoop.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "shell/CMainFrame.h"
#include "shell/MainFrameCore.h"
#include "support/Zuntosim.h"

namespace msgdesk::guitest {

class SimFrameFixture : public ::testing::Test {
protected:
    explicit SimFrameFixture(const std::string& tag)
        : dir(std::filesystem::temp_directory_path() / (tag + "-" + std::to_string(::getpid()))) {}

    void SetUp() override {
        for (const char* f : {"/libmodlink.so", "/zuntosim"})
            if (!std::filesystem::exists(bin + f)) GTEST_SKIP() << "no " << bin << f;
        app();
        std::filesystem::create_directories(dir);
    }
    // Starts the modems (simulator arguments after "--devices n"; a control
    // command such as "fill 2 3" runs before the program connects), then
    // the core and the window.
    void startOnSims(int devices, const std::vector<std::string>& extra = {},
                     const std::string& before = {}) {
        std::vector<std::string> args{bin + "/zuntosim", "--devices", std::to_string(devices)};
        args.insert(args.end(), extra.begin(), extra.end());
        const auto ports = support::startZuntosim(sim, args, devices);
        ASSERT_EQ(static_cast<int>(ports.size()), devices);
        if (!before.empty()) {
            using namespace std::chrono_literals;
            ASSERT_EQ(sim.ask(before, "", 10s).rfind("OK", 0), 0u);
        }
        setenv("MODLINK_PORTS", support::joinPorts(ports).c_str(), 1);
        setenv("MODLINK_LIBRARY", (bin + "/libmodlink.so").c_str(), 1);
        setenv("MODLINK_USB", "0", 1);
        loop = new platform::QtMessageLoop(&app());
        reg = std::make_unique<platform::RegistryStore>(dir / "user.reg");
        core = std::make_unique<MainFrameCore>(MainFrameCore::Services{
            *loop, clock, boxes, *reg, (dir / "guide.html").string(), dir, nullptr});
        ASSERT_TRUE(core->create());
        frame = std::make_unique<CMainFrame>(*core);
        frame->show();
    }
    void TearDown() override {
        if (core) {
            bool closed = false;
            core->close([&] { closed = true; });
            waitFor([&] { return closed; }, 5000);
        }
        frame.reset();
        core.reset();
        delete loop;
        loop = nullptr;
        sim.stop(SIGTERM);
        unsetenv("MODLINK_PORTS");
        unsetenv("MODLINK_LIBRARY");
        unsetenv("MODLINK_USB");
        std::filesystem::remove_all(dir);
    }

    const std::string bin = ZUNTO_BIN_DIR;
    const std::filesystem::path dir;
    support::ChildProcess sim;
    platform::QtMessageLoop* loop = nullptr;
    platform::SystemClock clock;
    platform::ScriptedMessageBox boxes;
    std::unique_ptr<platform::RegistryStore> reg;
    std::unique_ptr<MainFrameCore> core;
    std::unique_ptr<CMainFrame> frame;
};

}  // namespace msgdesk::guitest
