// zuntosim's AT exchanges as a client sees them on the wire: the bytes a
// real modem sends, echo included.
#include <gtest/gtest.h>

#include "SimPort.h"
#include "SimProcess.h"

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
