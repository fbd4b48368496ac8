// SPDX-License-Identifier: LGPL-2.1-or-later
// zuntosim's AT exchanges as a client sees them on the wire: the bytes a
// real modem sends, echo included.
#include <gtest/gtest.h>

#include <cstdio>

#include "support/SimPort.h"
#include "support/SimProcess.h"

using support::SimProcess;

namespace {

struct Peer {
    SimProcess sim{1};
    SimPort port{sim.ok() ? sim.ports()[0] : std::string()};
};

}  // namespace

TEST(SimPeer, LinesWithoutThePrefixAreIgnored) {
    Peer p;
    ASSERT_TRUE(p.port.ok());
    // A lone ESC, a blank line and text are echoed but never answered.
    p.port.write("\x1B\r\r\nhello\r");
    EXPECT_EQ(p.port.drain(200), "\x1B\r\rhello\r");
    EXPECT_EQ(p.port.command("AT"), "AT\r\r\nOK\r\n");
    p.port.write("A\r");  // too short to be a command line
    EXPECT_EQ(p.port.drain(200), "A\r");
    EXPECT_EQ(p.port.command("ATE0"), "ATE0\r\r\nOK\r\n");
    p.port.write("xyz\r");
    EXPECT_EQ(p.port.drain(200), "");
    EXPECT_EQ(p.port.command("at+nosuch"), "\r\nERROR\r\n");
}

TEST(SimPeer, NetworkAnswersFollowTheFinalResult) {
    Peer p;
    ASSERT_TRUE(p.port.ok());
    p.port.command("ATE0");
    p.port.write("AT+CUSD=1,\"*100#\",15\r");
    std::string r = p.port.readUntil("\",15\r\n");
    EXPECT_EQ(r, "\r\nOK\r\n\r\n+CUSD: 1,\"1 Balance\n2 Data left\",15\r\n");
    p.port.write("AT+CREG=1;+COPS=2\r");
    r = p.port.readUntil("+CREG: 0\r\n");
    EXPECT_EQ(r, "\r\nOK\r\n\r\n+CREG: 0\r\n");
    // Extended ring format.
    EXPECT_EQ(p.port.command("AT+CRC=1"), "\r\nOK\r\n");
    EXPECT_EQ(p.sim.control("call 1 10086"), "OK");
    EXPECT_EQ(p.port.readUntil("VOICE\r\n", 1000), "\r\n+CRING: VOICE\r\n");
}

namespace {

std::string toolOutput(const std::string& args) {
    std::string cmd = std::string(ZUNTO_BIN_DIR) + "/modlink-tool --wait 10 " + args + " 2>&1";
    std::string out;
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return out;
    char buf[512];
    while (std::fgets(buf, sizeof buf, p)) out += buf;
    ::pclose(p);
    return out;
}

// "hellohello" to +46708251358: 23 octets after the empty SMSC part.
const std::string kSubmit = "0011000B916407281553F80000AA0AE8329BFD4697D9EC37";

}  // namespace

TEST(SimPeer, WrittenMessagesKeepTheirStatUntilSent) {
    Peer p;
    ASSERT_TRUE(p.port.ok());
    p.port.command("ATE0");
    EXPECT_EQ(p.sim.control("sms 1 10086 first"), "OK");
    p.port.drain(100);
    EXPECT_EQ(p.port.command("AT+CMGW=23"), "\r\n> ");
    p.port.write(kSubmit + "\x1A");
    EXPECT_EQ(p.port.readUntil("OK\r\n"), "\r\n+CMGW: 2\r\n\r\nOK\r\n");
    EXPECT_EQ(p.port.command("AT+CMGL=2"), "\r\n+CMGL: 2,2,,23\r\n" + kSubmit + "\r\n\r\nOK\r\n");
    EXPECT_EQ(p.port.command("AT+CMSS=2"), "\r\n+CMSS: 0\r\n\r\nOK\r\n");
    EXPECT_EQ(p.sim.control("sent 1 1"), "OK +46708251358 hellohello");
    EXPECT_EQ(p.port.command("AT+CMGR=2"), "\r\n+CMGR: 3,,23\r\n" + kSubmit + "\r\n\r\nOK\r\n");
    EXPECT_EQ(p.port.command("AT+CMGL=2"), "\r\nOK\r\n");
    // Refused: a received message, a stat that does not fit the PDU, a
    // length that does not match it, another destination, an empty index.
    EXPECT_EQ(p.port.command("AT+CMEE=1"), "\r\nOK\r\n");
    EXPECT_EQ(p.port.command("AT+CMSS=1"), "\r\n+CMS ERROR: 302\r\n");
    EXPECT_EQ(p.port.command("AT+CMSS=2,\"10010\""), "\r\n+CMS ERROR: 303\r\n");
    EXPECT_EQ(p.port.command("AT+CMSS=30"), "\r\n+CMS ERROR: 321\r\n");
    EXPECT_EQ(p.port.command("AT+CMGW=23,4"), "\r\n+CMS ERROR: 304\r\n");
    EXPECT_EQ(p.port.command("AT+CMGW=23,1"), "\r\n> ");
    p.port.write(kSubmit + "\x1A");
    EXPECT_EQ(p.port.readUntil("304\r\n"), "\r\n+CMS ERROR: 304\r\n");
    EXPECT_EQ(p.port.command("AT+CMGW=22"), "\r\n> ");
    p.port.write(kSubmit + "\x1A");
    EXPECT_EQ(p.port.readUntil("304\r\n"), "\r\n+CMS ERROR: 304\r\n");
    EXPECT_EQ(p.port.command("AT+CMGW=23"), "\r\n> ");
    p.port.write(kSubmit + "\x1A");
    EXPECT_EQ(p.port.readUntil("OK\r\n"), "\r\n+CMGW: 3\r\n\r\nOK\r\n");

    // The device library lists and reads the unsent one like any other.
    std::string port = "--port " + p.sim.ports()[0];
    std::string out = toolOutput(port + " sms list");
    EXPECT_NE(out.find("{\"event\":264,\"param\":1,\"text\":\"3\"}"), std::string::npos) << out;
    out = toolOutput(port + " sms read 3");
    EXPECT_NE(out.find("\"text\":\"\\\"+46708251358\\\",\\\"000000000000\\\",\\\"hellohello\\\"\""),
              std::string::npos)
        << out;
}

TEST(SimPeer, ThePduTypedAtThePromptIsEchoed) {
    Peer p;
    ASSERT_TRUE(p.port.ok());
    EXPECT_EQ(p.port.command("AT+CMGS=23"), "AT+CMGS=23\r\r\n> ");
    p.port.write(kSubmit.substr(0, 10));
    EXPECT_EQ(p.port.readUntil(kSubmit.substr(0, 10)), kSubmit.substr(0, 10));
    p.port.write(kSubmit.substr(10) + "\x1A");
    EXPECT_EQ(p.port.readUntil("OK\r\n"), kSubmit.substr(10) + "\r\n+CMGS: 0\r\n\r\nOK\r\n");
    // ESC cancels after the echo; with echo off nothing comes back but OK.
    EXPECT_EQ(p.port.command("AT+CMGW=23"), "AT+CMGW=23\r\r\n> ");
    p.port.write("0011\x1B");
    EXPECT_EQ(p.port.readUntil("OK\r\n"), "0011\r\nOK\r\n");
    EXPECT_EQ(p.port.command("ATE0"), "ATE0\r\r\nOK\r\n");
    EXPECT_EQ(p.port.command("AT+CMGW=23"), "\r\n> ");
    p.port.write(kSubmit + "\x1A");
    EXPECT_EQ(p.port.readUntil("OK\r\n"), "\r\n+CMGW: 1\r\n\r\nOK\r\n");
}

// Wanmate's default init string before a dial, as the modem answers it on
// the wire: accepted, then read back.
TEST(SimPeer, DialInitStringDefinesTheContext) {
    Peer p;
    ASSERT_TRUE(p.port.ok());
    p.port.command("ATE0");
    EXPECT_EQ(p.port.command("AT+CGDCONT=1,\"IP\",\"CMNET\""), "\r\nOK\r\n");
    EXPECT_EQ(p.port.command("AT+CGDCONT?"),
              "\r\n+CGDCONT: 1,\"IP\",\"CMNET\",\"\",0,0\r\n\r\nOK\r\n");
    EXPECT_EQ(p.port.command("AT+CGDCONT=0,\"IP\",\"CMNET\""), "\r\nERROR\r\n");
}
