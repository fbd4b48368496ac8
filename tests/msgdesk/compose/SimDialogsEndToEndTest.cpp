// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "msgdesk/recvsend/HeadlessFixture.h"
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
class SimDialogsEndToEnd : public HeadlessFixture {
protected:
    fs::path log;

    void SetUp() override {
        HeadlessFixture::SetUp();
        if (IsSkipped()) return;
        log = dir.path / "sim.log";
        startSims(2, {"--log", log.string()});
        if (HasFatalFailure()) return;
        // Stored without an indication: the start-up listing finds them.
        ASSERT_EQ(sim.ask("fill 2 5", "", 10s).rfind("OK", 0), 0u);
        ASSERT_TRUE(startApp());
    }
    std::string simStatus(int d, const std::string& key) {
        std::istringstream l(sim.ask("status " + std::to_string(d), "", 10s));
        std::string kv;
        while (l >> kv)
            if (kv.rfind(key + "=", 0) == 0) return kv.substr(key.size() + 1);
        return {};
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
    ASSERT_TRUE(until([&] { return status("sim") == 5; }));
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
    ASSERT_TRUE(until([&] { return status("sim") == 3; }));
    EXPECT_EQ(status("inbox"), 2);
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
