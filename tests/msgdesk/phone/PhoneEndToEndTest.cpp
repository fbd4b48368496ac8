// SPDX-License-Identifier: GPL-3.0-or-later
// The phone dialog's core inside the main frame's core, against the real
// device library and the simulated modem, headless. Virtual time follows
// real time, so the once-a-second status poll runs at its own pace.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <sstream>
#include <thread>

#include "phone/PhoneIds.h"
#include "platform/ManualMessageLoop.h"
#include "platform/Registry.h"
#include "shell/MainFrameCore.h"
#include "support/Zuntosim.h"

namespace msgdesk::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

class PhoneEndToEnd : public ::testing::Test {
protected:
    const std::string bin = ZUNTO_BIN_DIR;
    fs::path dir = fs::temp_directory_path() / ("phone-e2e-" + std::to_string(::getpid()));
    support::ChildProcess sim;
    platform::ManualMessageLoop loop;
    platform::ScriptedMessageBox boxes;
    std::unique_ptr<platform::RegistryStore> reg;
    std::unique_ptr<MainFrameCore> core;
    PhoneDialogCore* phone = nullptr;

    void SetUp() override {
        if (!fs::exists(bin + "/libmodlink.so") || !fs::exists(bin + "/zuntosim"))
            GTEST_SKIP() << "needs libmodlink.so and zuntosim in " << bin;
        fs::create_directories(dir);
        const auto ports = support::startZuntosim(sim, {bin + "/zuntosim", "--devices", "2"}, 2);
        ASSERT_EQ(ports.size(), 2u);
        setenv("MODLINK_PORTS", (ports[0] + "," + ports[1]).c_str(), 1);
        setenv("MODLINK_LIBRARY", (bin + "/libmodlink.so").c_str(), 1);
        setenv("MODLINK_USB", "0", 1);
        reg = std::make_unique<platform::RegistryStore>(dir / "user.reg");
        core = std::make_unique<MainFrameCore>(MainFrameCore::Services{
            loop, loop.clock(), boxes, *reg, (dir / "guide.html").string(), dir});
        ASSERT_TRUE(core->create());
        ASSERT_TRUE(pumpUntil([&] { return core->link().linkActive(); }, 10));
        ASSERT_EQ(core->link().deviceCount(), 2);
        phone = core->phone();
    }
    void TearDown() override {
        if (core) {
            bool closed = false;
            core->close([&] { closed = true; });
            pumpUntil([&] { return closed; }, 5);
            core.reset();
        }
        sim.stop(SIGTERM);
        unsetenv("MODLINK_PORTS");
        unsetenv("MODLINK_LIBRARY");
        unsetenv("MODLINK_USB");
        fs::remove_all(dir);
    }
    bool pumpUntil(const std::function<bool()>& done, int seconds) {
        const auto end = Clock::now() + std::chrono::seconds(seconds);
        while (Clock::now() < end) {
            loop.advance(50);
            if (done()) return true;
            std::this_thread::sleep_for(50ms);
        }
        loop.runUntilIdle();
        return done();
    }
    // The simulator's own view of a modem: "OK signal=... call=... tones=...".
    std::string simStatus(int d) { return sim.ask("status " + std::to_string(d), "OK signal"); }
    bool simSays(int d, const std::string& part, int seconds) {
        const auto end = Clock::now() + std::chrono::seconds(seconds);
        while (Clock::now() < end) {
            if (simStatus(d).find(part) != std::string::npos) return true;
            pumpUntil([] { return false; }, 0);
            std::this_thread::sleep_for(100ms);
        }
        return false;
    }
    std::string cells() const { return std::string(phone->cells().begin(), phone->cells().end()); }
};

TEST_F(PhoneEndToEnd, AnIncomingCallRingsIsAnsweredTakesTonesAndEndsAtTheFarEnd) {
    ASSERT_EQ(sim.ask("call 1 13912345678", "OK"), "OK");
    ASSERT_TRUE(pumpUntil([&] { return phone->ringing(); }, 10));
    EXPECT_TRUE(core->ringAnimation().running());
    EXPECT_EQ(phone->status(), phone::kStatusIncoming);
    EXPECT_EQ(phone->incoming().entry(0), "13912345678");
    ASSERT_TRUE(pumpUntil([&] { return phone->ringFrame() != 700; }, 3));

    phone->dialOrAnswer();
    ASSERT_TRUE(pumpUntil([&] { return phone->inCall(); }, 10));
    EXPECT_EQ(phone->status(), phone::kStatusConnected);
    EXPECT_TRUE(simSays(1, "call=0", 3));
    phone->key('1');
    phone->key('#');
    EXPECT_TRUE(simSays(1, "tones=1#", 10)) << simStatus(1);

    ASSERT_EQ(sim.ask("hangup 1", "OK"), "OK");
    ASSERT_TRUE(pumpUntil([&] { return !phone->inCall(); }, 10));
    EXPECT_EQ(phone->status(), "已挂机    ");
    EXPECT_EQ(cells().substr(0, 7), "       ");
    EXPECT_EQ(cells().substr(7, 6), "00:00:");
    EXPECT_FALSE(core->ringAnimation().running());
}

TEST_F(PhoneEndToEnd, AnOutgoingCallComesUpThroughTheStatusPollAndIsHungUp) {
    for (char c : std::string("10086")) phone->key(c);
    phone->dialOrAnswer();
    EXPECT_TRUE(phone->dialling());
    ASSERT_TRUE(pumpUntil([&] { return phone->inCall(); }, 10)) << phone->status();
    EXPECT_FALSE(phone->dialling());
    EXPECT_EQ(phone->status(), phone::kStatusConnected);
    EXPECT_TRUE(simSays(1, "call=0", 3));
    phone->hangUp();
    ASSERT_TRUE(pumpUntil([&] { return !phone->inCall(); }, 10));
    EXPECT_EQ(phone->status(), "已挂机    ");
    EXPECT_TRUE(simSays(1, "call=none", 3));
    EXPECT_EQ(phone->outgoing().entry(0), "10086");
}

TEST_F(PhoneEndToEnd, ACallOnTheSecondDeviceMakesItTheCurrentOne) {
    EXPECT_EQ(phone->deviceText(), "01");
    ASSERT_EQ(sim.ask("call 2 13800000000", "OK"), "OK");
    ASSERT_TRUE(pumpUntil([&] { return phone->ringing(); }, 10));
    EXPECT_EQ(phone->deviceText(), "02");
    ASSERT_EQ(sim.ask("hangup 2", "OK"), "OK");
    ASSERT_TRUE(pumpUntil([&] { return !phone->ringing(); }, 10));
    EXPECT_EQ(phone->status(), "已挂机    ");
    EXPECT_EQ(phone->device(), 2);
}

}  // namespace
}  // namespace msgdesk::test
