// SPDX-License-Identifier: GPL-3.0-or-later
// The progress of a dial as pppd's log tells it, from captured and
// hand-written pppd 2.4.9 sessions in tests/data/wanmate/ppp/.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/ras/PppProgress.h"

using namespace platform::ras;
using Notice = PppProgress::Notice;

namespace {

struct Replay {
    std::vector<Notice> notices;
    bool settled = false;
};

// Feeds a session file line by line, then its exit status (unless the
// link is held up).
Replay replay(const std::string& name) {
    std::ifstream in(std::string(ZUNTO_TEST_DATA) + "/wanmate/ppp/" + name);
    EXPECT_TRUE(in.good()) << name;
    PppProgress p;
    Replay r;
    auto add = [&](std::vector<Notice> n) {
        r.notices.insert(r.notices.end(), n.begin(), n.end());
    };
    add(p.begin());
    std::string line, status;
    while (std::getline(in, line)) {
        if (line.rfind("# exit: ", 0) == 0) status = line.substr(8);
        if (line.rfind("# ", 0) == 0) continue;
        add(p.onLine(line));
    }
    if (status != "hold") add(p.onExit(std::stoi(status)));
    r.settled = p.settled();
    return r;
}

struct Case {
    const char* file;
    std::vector<Notice> expected;
};

}  // namespace

TEST(PppProgress, EverySessionGivesItsStatesAndOneOutcome) {
    const std::vector<Notice> upToDial = {{RASCS_OpenPort, 0}, {RASCS_ConnectDevice, 0}};
    auto with = [&](std::vector<Notice> tail) {
        auto v = upToDial;
        v.insert(v.end(), tail.begin(), tail.end());
        return v;
    };
    const Case cases[] = {
        {"connected.log", with({{RASCS_DeviceConnected, 0},
                                {RASCS_Authenticate, 0},
                                {RASCS_Projected, 0},
                                {RASCS_Connected, 0}})},
        // Recorded in the guest: the whole run, ending with our hang-up.
        {"guest-connected.log", with({{RASCS_DeviceConnected, 0},
                                      {RASCS_Authenticate, 0},
                                      {RASCS_Projected, 0},
                                      {RASCS_Connected, 0}})},
        {"nocarrier.log", with({{RASCS_ConnectDevice, ERROR_NO_CARRIER}})},
        {"busy.log", with({{RASCS_ConnectDevice, ERROR_LINE_BUSY}})},
        {"noanswer.log", with({{RASCS_ConnectDevice, ERROR_NO_ANSWER}})},
        {"error.log", with({{RASCS_ConnectDevice, ERROR_FROM_DEVICE}})},
        // A modem that never answered is a device fault; one that went
        // quiet after ATD did not answer the call.
        {"silent.log", with({{RASCS_ConnectDevice, ERROR_PORT_OR_DEVICE}})},
        {"silent-after-dial.log", with({{RASCS_ConnectDevice, ERROR_NO_ANSWER}})},
        {"lcp-timeout.log",
         with({{RASCS_DeviceConnected, 0}, {RASCS_DeviceConnected, ERROR_PPP_TIMEOUT}})},
        {"hangup-before-ip.log", with({{RASCS_DeviceConnected, 0},
                                       {RASCS_Authenticate, 0},
                                       {RASCS_Projected, 0},
                                       {RASCS_Projected, ERROR_PORT_DISCONNECTED}})},
        {"locked.log", {{RASCS_OpenPort, 0}, {RASCS_OpenPort, ERROR_PORT_OR_DEVICE}}},
        {"open-failed.log", {{RASCS_OpenPort, 0}, {RASCS_OpenPort, ERROR_PORT_OR_DEVICE}}},
        // No decisive line: the exit status speaks, as a disconnection.
        {"no-kernel-ppp.log", {{RASCS_OpenPort, 0}, {RASCS_Disconnected, ERROR_FROM_DEVICE}}},
    };
    for (const auto& c : cases) {
        Replay r = replay(c.file);
        EXPECT_EQ(r.notices, c.expected) << c.file;
        EXPECT_TRUE(r.settled) << c.file;
    }
}

TEST(PppProgress, TheFirstDecisiveLineWinsOverLaterLinesAndTheExitStatus) {
    PppProgress p;
    p.begin();
    EXPECT_EQ(p.onLine("Failed (BUSY)").size(), 1u);
    EXPECT_TRUE(p.onLine("Modem hangup").empty());
    EXPECT_TRUE(p.onLine("local  IP address 10.0.0.2").empty());
    EXPECT_TRUE(p.onExit(16).empty());
    EXPECT_EQ(p.error(), ERROR_LINE_BUSY);
    EXPECT_FALSE(p.connected());
}

TEST(PppProgress, StatesOnlyMoveForwardAndLookalikesAreNotMarkers) {
    PppProgress p;
    p.begin();
    EXPECT_TRUE(p.begin().empty());  // once
    // The expect line names CONNECT but is not the modem's answer; pppd's
    // "Connect:" line is not it either.
    EXPECT_TRUE(p.onLine("expect (CONNECT)").empty());
    EXPECT_TRUE(p.onLine("Connect: ppp0 <--> /dev/ttyUSB0").empty());
    EXPECT_EQ(p.onLine("^M^MCONNECT 115200"), (std::vector<Notice>{{RASCS_DeviceConnected, 0}}));
    // An AT sent later (a second chat line) does not step back.
    EXPECT_TRUE(p.onLine("send (ATD*99#^M)").empty());
    EXPECT_TRUE(p.onLine("sent [LCP ConfReq id=0x1]").empty());
    EXPECT_EQ(p.state(), RASCS_DeviceConnected);
}

TEST(PppProgress, ExitStatusesWithoutALine) {
    const std::pair<int, DWORD> rows[] = {
        {0, ERROR_PORT_DISCONNECTED},
        {5, ERROR_USER_DISCONNECTION},
        {6, ERROR_PORT_OR_DEVICE},
        {7, ERROR_PORT_OR_DEVICE},
        {8, ERROR_FROM_DEVICE},
        {16, ERROR_PORT_DISCONNECTED},
        {19, ERROR_AUTHENTICATION_FAILURE},
        {1, ERROR_FROM_DEVICE},
    };
    for (auto [status, error] : rows) {
        PppProgress p;
        p.begin();
        EXPECT_EQ(p.onExit(status), (std::vector<Notice>{{RASCS_Disconnected, error}})) << status;
    }
    // After the link came up, its end is no dial failure.
    PppProgress up;
    up.onLine("local  IP address 10.0.0.2");
    EXPECT_TRUE(up.connected());
    EXPECT_TRUE(up.onExit(16).empty());
}
