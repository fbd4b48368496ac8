// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "msgdesk/store/StoreTestSupport.h"
#include "store/MailboxFiles.h"
#include "support/Zuntosim.h"

namespace msgdesk::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using support::ChildProcess;

// The SIM message manager and the properties dialog with the real device
// library and two simulated modems; the headless main frame scripts them.
class SimDialogsEndToEnd : public ::testing::Test {
protected:
    const std::string bin = ZUNTO_BIN_DIR;
    storetest::TempDir dir;
    ChildProcess sim;
    ChildProcess app;
    fs::path log;

    void SetUp() override {
        for (const char* f : {"/libmodlink.so", "/zuntosim", "/msgdesk_headless"})
            if (!fs::exists(bin + f)) GTEST_SKIP() << "no " << bin << f;
        log = dir.path / "sim.log";
        const auto simPorts = support::startZuntosim(
            sim, {bin + "/zuntosim", "--devices", "2", "--log", log.string()}, 2);
        ASSERT_EQ(static_cast<int>(simPorts.size()), 2);
        std::string ports = support::joinPorts(simPorts);
        // Stored without an indication: the start-up listing finds them.
        ASSERT_EQ(sim.ask("fill 2 5", "", 10s).rfind("OK", 0), 0u);
        setenv("MODLINK_PORTS", ports.c_str(), 1);
        setenv("MODLINK_LIBRARY", (bin + "/libmodlink.so").c_str(), 1);
        ASSERT_TRUE(app.start({bin + "/msgdesk_headless", "--dir", dir.path.string()}));
        ASSERT_FALSE(app.waitFor("ready", 60s).empty());
    }
    void TearDown() override {
        app.stop(SIGKILL);
        sim.stop(SIGTERM);
        unsetenv("MODLINK_PORTS");
        unsetenv("MODLINK_LIBRARY");
    }
    std::string simStatus(int d, const std::string& key) {
        std::istringstream l(sim.ask("status " + std::to_string(d), "", 10s));
        std::string kv;
        while (l >> kv)
            if (kv.rfind(key + "=", 0) == 0) return kv.substr(key.size() + 1);
        return {};
    }
    int appStatus(const std::string& key) {
        std::istringstream l(app.ask("status", "status "));
        std::string kv;
        while (l >> kv)
            if (kv.rfind(key + "=", 0) == 0) return std::atoi(kv.c_str() + key.size() + 1);
        return -1;
    }
    template <class F>
    bool until(F cond, std::chrono::seconds limit = 15s) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            if (cond()) return true;
            std::this_thread::sleep_for(100ms);
        }
        return false;
    }
    int logged(int device, const std::string& text) {
        std::ifstream in(log);
        std::string line;
        int n = 0;
        const std::string dev = "device " + std::to_string(device) + " ";
        while (std::getline(in, line))
            n += line.find(dev) != std::string::npos && line.find(text) != std::string::npos;
        return n;
    }
};

TEST_F(SimDialogsEndToEnd, FiveFilledMessagesAreListedAndTwoDeletedKeepingCopies) {
    // "ready" says the listings ended; the listed messages may still be read.
    ASSERT_TRUE(until([&] { return appStatus("sim") == 5; }));
    app.send("simlist 2");
    int rows = 0;
    std::string line;
    while (app.readLine(line, 10s) && line.rfind("simlist", 0) != 0)
        rows += line.rfind("simrow ", 0) == 0;
    EXPECT_EQ(rows, 5);
    EXPECT_EQ(line, "simlist 5 条");
    app.send("simlist 1");
    EXPECT_EQ(app.waitFor("simlist", 10s), "simlist 0 条");

    app.send("simdelete 2 2 yes");
    EXPECT_EQ(app.waitFor("simdelete", 10s), "simdelete rows=5");
    ASSERT_TRUE(until([&] { return simStatus(2, "messages").rfind("3/", 0) == 0; }));
    ASSERT_TRUE(until([&] { return appStatus("sim") == 3; }));
    EXPECT_EQ(appStatus("inbox"), 2);
    app.send("quit");
    ASSERT_TRUE(app.wait(10s));
    EXPECT_EQ(fs::file_size(MailboxFilePath(dir.path, InBox)), 2 * sizeof(MessageRecord));
}

TEST_F(SimDialogsEndToEnd, ANewCentreIsSentToBothDevices) {
    app.send("centre 0 +8613800210500");
    app.send("properties ok");
    EXPECT_EQ(app.waitFor("properties", 10s), "properties modified=1");
    ASSERT_TRUE(until([&] { return simStatus(1, "centre") == "+8613800210500"; }));
    ASSERT_TRUE(until([&] { return logged(2, "AT+CSCA=") == 1; }));
    EXPECT_EQ(logged(1, "AT+CSCA="), 1);
    EXPECT_EQ(simStatus(2, "centre"), "+8613800100500");  // sent as it was
    EXPECT_EQ(app.ask("centres", "centres "), "centres +8613800210500,+8613800100500");
    // OK without a change sends nothing more.
    app.send("properties ok");
    EXPECT_EQ(app.waitFor("properties", 10s), "properties modified=0");
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(logged(1, "AT+CSCA="), 1);
}

TEST_F(SimDialogsEndToEnd, AFailedAndARefusedSetKeepTheOldNumbersAndSay60060) {
    ASSERT_EQ(sim.ask("fail 1 +CSCA ERROR", "", 10s).rfind("OK", 0), 0u);
    app.send("centre 0 +8613800210500");
    app.send("centre 1 138,00");  // doubtful, accepted with Yes; the library refuses it
    app.send("properties ok");
    EXPECT_EQ(app.waitFor("properties", 10s), "properties modified=1");
    ASSERT_TRUE(until([&] { return app.ask("boxes", "boxes ") == "boxes 60052,60060,60060"; }));
    EXPECT_EQ(app.ask("centres", "centres "), "centres +8613800100500,+8613800100500");
    EXPECT_EQ(simStatus(1, "centre"), "+8613800100500");
    EXPECT_EQ(logged(2, "AT+CSCA="), 0);
}

}  // namespace
}  // namespace msgdesk::test
