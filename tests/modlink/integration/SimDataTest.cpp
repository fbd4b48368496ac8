// SPDX-License-Identifier: LGPL-2.1-or-later
// zuntosim's data mode: ATD*99# hands the port to the data command until it
// ends; the control channel makes dials fail. A shell script stands in for
// the network's pppd (this machine has no PPP in its kernel).
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/SimPort.h"
#include "support/SimProcess.h"

using support::SimProcess;

namespace {

std::string marker() {
    return testing::TempDir() + "zuntosim-data-" + std::to_string(::getpid());
}

// Greets, echoes lines, ends on "bye" (exit 3).
std::string fakeNetwork() {
    return "echo \"$ZUNTOSIM_DEVICE $ZUNTOSIM_DIAL $$\" > " + marker() +
           "; echo HELLO; while read -r l; do [ \"$l\" = bye ] && exit 3; echo \"echo:$l\"; "
           "done";
}

std::string readFile(const std::string& path) {
    std::ifstream f(path);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

struct DataPeer {
    SimProcess sim{2, {"--data-cmd", fakeNetwork()}};
    SimPort port{sim.ok() ? sim.ports()[1] : std::string()};
    DataPeer() { port.command("ATE0"); }
};

}  // namespace

TEST(SimData, DialHandsThePortToTheDataCommandUntilItEnds) {
    DataPeer p;
    ASSERT_TRUE(p.port.ok());
    ::unlink(marker().c_str());
    p.port.write("ATD*99***1#\r");
    EXPECT_EQ(p.port.readUntil("HELLO\n"), "\r\nCONNECT\r\nHELLO\n");
    EXPECT_EQ(readFile(marker()).substr(0, 10), "2 *99***1#");
    // Bytes pass both ways untouched; AT commands are data now.
    p.port.write("AT\n");
    EXPECT_EQ(p.port.readUntil("echo:AT\n"), "echo:AT\n");
    EXPECT_NE(p.sim.control("status 2").find(" data=connected"), std::string::npos);
    // An indication does not break into the link.
    EXPECT_EQ(p.sim.control("sms 2 10086 during the link"), "OK");
    p.port.write("bye\n");
    EXPECT_EQ(p.port.readUntil("NO CARRIER\r\n"), "\r\nNO CARRIER\r\n");
    EXPECT_EQ(p.port.command("AT"), "\r\nOK\r\n");
    EXPECT_NE(p.sim.control("status 2").find(" data=idle"), std::string::npos);
    EXPECT_EQ(p.port.command("AT+CPMS?").substr(0, 15), "\r\n+CPMS: \"SM\",1");
    ::unlink(marker().c_str());

    // The network ends the next one; the tone prefix is a dial modifier.
    p.port.write("ATDT*99#\r");
    EXPECT_EQ(p.port.readUntil("HELLO\n"), "\r\nCONNECT\r\nHELLO\n");
    EXPECT_EQ(p.sim.control("hangup 2"), "OK");
    EXPECT_EQ(p.port.readUntil("NO CARRIER\r\n"), "\r\nNO CARRIER\r\n");
    EXPECT_EQ(p.port.command("AT"), "\r\nOK\r\n");

    // Unplugged in the middle of a link: the data command goes too.
    ::unlink(marker().c_str());
    p.port.write("ATD*99#\r");
    EXPECT_EQ(p.port.readUntil("HELLO\n"), "\r\nCONNECT\r\nHELLO\n");
    std::string m = readFile(marker());
    pid_t pid = std::atoi(m.substr(m.rfind(' ') + 1).c_str());
    ASSERT_GT(pid, 1) << m;
    EXPECT_EQ(::kill(pid, 0), 0);
    EXPECT_EQ(p.sim.control("unplug 2"), "OK");
    EXPECT_NE(::kill(pid, 0), 0);
    ::unlink(marker().c_str());
}

TEST(SimData, ArmedFailuresHitTheNextDataDialOnly) {
    DataPeer p;
    ASSERT_TRUE(p.port.ok());
    EXPECT_EQ(p.sim.control("nocarrier 2"), "OK");
    EXPECT_EQ(p.port.command("ATD*99#"), "\r\nNO CARRIER\r\n");
    EXPECT_EQ(p.sim.control("busy 2"), "OK");
    EXPECT_EQ(p.port.command("ATD*99#"), "\r\nBUSY\r\n");
    // Silent: no answer at all, until a character from the client aborts.
    EXPECT_EQ(p.sim.control("silent 2"), "OK");
    p.port.write("ATD*99#\r");
    EXPECT_EQ(p.port.drain(300), "");
    EXPECT_NE(p.sim.control("status 2").find(" data=dialling"), std::string::npos);
    p.port.write("\r");
    EXPECT_EQ(p.port.readUntil("NO CARRIER\r\n"), "\r\nNO CARRIER\r\n");
    EXPECT_EQ(p.port.command("AT"), "\r\nOK\r\n");
    // Armed on device 2 only, and used up: the next dial connects.
    EXPECT_EQ(p.sim.control("busy 1"), "OK");
    p.port.write("ATD*99#\r");
    EXPECT_EQ(p.port.readUntil("HELLO\n"), "\r\nCONNECT\r\nHELLO\n");
    p.port.write("bye\n");
    EXPECT_EQ(p.port.readUntil("NO CARRIER\r\n"), "\r\nNO CARRIER\r\n");
    // Not data dials: no '#', another service code, a voice call.
    EXPECT_EQ(p.port.command("ATD*99"), "\r\nNO CARRIER\r\n");
    EXPECT_EQ(p.port.command("ATD*98#"), "\r\nNO CARRIER\r\n");
    EXPECT_EQ(p.port.command("ATD*99#;"), "\r\nOK\r\n");
    EXPECT_EQ(p.port.command("AT+CMEE=1;D*99#"), "\r\n+CME ERROR: 3\r\n");
    EXPECT_EQ(p.sim.control("busy 2 3"), "ERROR usage: busy D");
    EXPECT_EQ(p.sim.control("silent 3"), "ERROR no such device");
    ::unlink(marker().c_str());
}
