// SPDX-License-Identifier: GPL-3.0-or-later
// The assembled main frame's core against the real device library and
// simulated modems that misbehave. Virtual time runs ten times faster than
// the wall clock, so a minute of the program's timers takes six seconds.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <thread>

#include "msgdesk/store/StoreTestSupport.h"
#include "platform/ManualMessageLoop.h"
#include "platform/Registry.h"
#include "shell/MainFrameCore.h"
#include "support/Zuntosim.h"

namespace msgdesk::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class FaultyModemEndToEnd : public ::testing::Test {
protected:
    const std::string bin = ZUNTO_BIN_DIR;
    storetest::TempDir dir;
    platform::RegistryStore reg{dir.path / "registry"};
    platform::ManualMessageLoop loop;
    platform::ScriptedMessageBox boxes;
    support::ChildProcess sim;
    std::unique_ptr<MainFrameCore> core;
    fs::path trace;

    void SetUp() override {
        for (const char* f : {"/libmodlink.so", "/zuntosim"})
            if (!fs::exists(bin + f)) GTEST_SKIP() << "needs " << bin << f;
        trace = dir.path / "trace.jsonl";
    }
    void TearDown() override {
        if (core) {
            bool closed = false;
            core->close([&] { closed = true; });
            run([&] { return closed; }, 5s);
            core.reset();
        }
        sim.stop(SIGTERM);
        for (const char* v : {"MODLINK_PORTS", "MODLINK_LIBRARY", "MODLINK_TRACE", "MODLINK_USB"})
            unsetenv(v);
    }
    // Starts the simulator with two modems, runs the commands on it, then
    // the program on both.
    void start(const std::vector<std::string>& before) {
        const auto simPorts =
            support::startZuntosim(sim,
                                   {bin + "/zuntosim", "--devices", "2", "--phonebook",
                                    std::string(ZUNTO_TEST_DATA) + "/msgdesk/sim-phonebook.txt"},
                                   2);
        ASSERT_EQ(static_cast<int>(simPorts.size()), 2);
        std::string ports = support::joinPorts(simPorts);
        for (auto& c : before) ASSERT_EQ(sim.ask(c, "", 10s).rfind("OK", 0), 0u) << c;
        setenv("MODLINK_PORTS", ports.c_str(), 1);
        setenv("MODLINK_USB", "0", 1);
        setenv("MODLINK_LIBRARY", (bin + "/libmodlink.so").c_str(), 1);
        setenv("MODLINK_TRACE", trace.c_str(), 1);
        core = std::make_unique<MainFrameCore>(
            MainFrameCore::Services{loop, loop.clock(), boxes, reg, "", dir.path});
        ASSERT_TRUE(core->create());
        core->settings().Sound = 1;
    }
    // Virtual time moves 500 ms per 50 ms of real time.
    bool run(const std::function<bool()>& done, std::chrono::milliseconds realLimit) {
        const auto end = Clock::now() + realLimit;
        while (Clock::now() < end) {
            loop.advance(500);
            if (done()) return true;
            std::this_thread::sleep_for(50ms);
        }
        loop.runUntilIdle();
        return done();
    }
    // Runs for a stretch of virtual time.
    void runFor(int virtualMs) {
        for (int t = 0; t < virtualMs; t += 500) {
            loop.advance(500);
            std::this_thread::sleep_for(50ms);
        }
    }
    int sent(const std::string& command) {
        std::ifstream in(trace);
        std::string line;
        int n = 0;
        while (std::getline(in, line)) n += line.find("\"tx\":\"" + command) != std::string::npos;
        return n;
    }
    bool ready() { return core->link().linkActive() && core->link().simInitCount() == 0; }
};

TEST_F(FaultyModemEndToEnd, BogusNoticeIsReadAFewTimesAMinuteAndRealMessagesStillArrive) {
    start({});
    ASSERT_TRUE(run([&] { return ready(); }, 10s));
    const int before = sent("AT+CMGR=99");
    ASSERT_EQ(sim.ask("unsolicited 1 +CMTI: \"SM\",99", "", 10s).rfind("OK", 0), 0u);
    ASSERT_EQ(sim.ask("sms 1 10086 still here", "", 10s).rfind("OK", 0), 0u);
    auto& inbox = core->store().box(InBox);
    ASSERT_TRUE(run([&] { return inbox.size() == 1; }, 5s));
    EXPECT_EQ(inbox.row(0).rec.text(), "still here");
    runFor(60000);
    const int reads = sent("AT+CMGR=99") - before;
    // Asked at 0, 1, 3, 7, 15 and 31 s.
    EXPECT_GE(reads, 2);
    EXPECT_LE(reads, 6);
    EXPECT_EQ(inbox.size(), 1);
    // The modem stays usable: a second message is read and filed too.
    ASSERT_EQ(sim.ask("sms 1 10010 and again", "", 10s).rfind("OK", 0), 0u);
    EXPECT_TRUE(run([&] { return inbox.size() == 2; }, 5s));
}

TEST_F(FaultyModemEndToEnd, ModemWithoutACentreDoesNotHoldBackTheOther) {
    start({"fail 2 +CSCA ERROR 1000", "fill 1 2"});
    auto& dev = core->link().devices();
    ASSERT_TRUE(run(
        [&] {
            return ready() && dev.phonebookListed(1) && dev.messagesListed(1) &&
                   core->store().simCache().size() >= 2;
        },
        8s));
    EXPECT_EQ(core->simPhonebook().list(1).size(), 3u);
    EXPECT_TRUE(dev.centreUnknown(2));
    EXPECT_EQ(dev.centreNumber(2), "");
    EXPECT_FALSE(dev.centreUnknown(1));
    EXPECT_FALSE(dev.centreNumber(1).empty());
    EXPECT_EQ(sent("AT+CSCA?"), 1 + kCentrePolls);
}

}  // namespace
}  // namespace msgdesk::test
