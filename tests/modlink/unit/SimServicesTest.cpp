// SPDX-License-Identifier: LGPL-2.1-or-later
// zuntosim's packet attach, battery, ring format and USSD menu.
#include <gtest/gtest.h>

#include "AtCommandTable.h"
#include "SimRun.h"
#include "SimServer.h"

using namespace zuntosim;

TEST(SimServices, AttachBatteryAndRingFormat) {
    AtCommandTable t;
    ModemState s;
    s.cmee = 1;
    EXPECT_EQ(runLine(t, s, "AT+CGATT?").lines[0], "+CGATT: 1");
    EXPECT_EQ(runLine(t, s, "AT+CGATT=0;+CGATT?").lines[0], "+CGATT: 0");
    EXPECT_EQ(runLine(t, s, "AT+CGATT=2").final, "+CME ERROR: 4");
    EXPECT_EQ(runLine(t, s, "AT+COPS=2;+CGATT=1").final, "+CME ERROR: 30");
    EXPECT_EQ(runLine(t, s, "AT+COPS=0;+CGATT=1;+CGATT?").lines[0], "+CGATT: 1");
    EXPECT_EQ(runLine(t, s, "AT+CBC").lines[0], "+CBC: 2,0");
    EXPECT_EQ(runLine(t, s, "AT+CBC=?").lines[0], "+CBC: (0-3),(0-100)");
    EXPECT_EQ(runLine(t, s, "AT+CRC?").lines[0], "+CRC: 0");
    EXPECT_EQ(runLine(t, s, "AT+CRC=1;+CRC?").lines[0], "+CRC: 1");
    EXPECT_EQ(runLine(t, s, "AT+CRC=2").final, "+CME ERROR: 4");
    EXPECT_TRUE(s.crc);
}

TEST(SimServices, UssdMenuWalk) {
    AtCommandTable t;
    ModemState s;
    s.cmee = 1;
    // Presentation off: the request goes out, the answer is not shown.
    auto r = runLine(t, s, "AT+CUSD=0,\"*100#\",15");
    EXPECT_EQ(r.final, "OK");
    EXPECT_TRUE(r.after.empty());
    EXPECT_EQ(s.ussdSession, "*100#");
    EXPECT_EQ(runLine(t, s, "AT+CUSD=2").final, "OK");  // cancel
    EXPECT_EQ(s.ussdSession, "");
    // The menu asks for more (1), a choice ends the session (0).
    r = runLine(t, s, "AT+CUSD=1,\"*100#\",15");
    ASSERT_EQ(r.after.size(), 1u);
    EXPECT_EQ(r.after[0], "+CUSD: 1,\"1 Balance\n2 Data left\",15");
    EXPECT_EQ(runLine(t, s, "AT+CUSD=1,\"2\"").after[0], "+CUSD: 0,\"Data left: 512 MB\",15");
    EXPECT_EQ(runLine(t, s, "AT+CUSD=1,\"2\"").after[0], "+CUSD: 4");  // no menu open
    EXPECT_EQ(runLine(t, s, "AT+CUSD?").lines[0], "+CUSD: 1");
    // Strings in the character set of +CSCS.
    runLine(t, s, "AT+CSCS=\"UCS2\"");
    r = runLine(t, s, "AT+CUSD=1,\"002A0031003000300023\",15");
    EXPECT_EQ(s.ussdSession, "*100#");
    EXPECT_EQ(r.after[0].substr(0, 30), "+CUSD: 1,\"0031002000420061006C");
    EXPECT_EQ(
        runLine(t, s, "AT+CUSD=1,\"0031\"").after[0],
        "+CUSD: 0,\"00420061006C0061006E00630065003A002000320035002E0033003000200043004E0059\",15");
    runLine(t, s, "AT+CSCS=\"IRA\"");
    EXPECT_EQ(runLine(t, s, "AT+CUSD=1,\"*100#\",72").final, "+CME ERROR: 4");
    EXPECT_EQ(runLine(t, s, "AT+CUSD=3").final, "+CME ERROR: 4");
    EXPECT_EQ(runLine(t, s, "AT+CUSD=1,\"\"").final, "+CME ERROR: 25");
    EXPECT_EQ(runLine(t, s, "AT+CUSD=1,\"" + std::string(183, '1') + "\"").final, "+CME ERROR: 25");
    runLine(t, s, "AT+COPS=2");
    EXPECT_EQ(runLine(t, s, "AT+CUSD=1,\"*100#\"").final, "+CME ERROR: 30");
}

TEST(SimServices, UssdControlSetsTheMenu) {
    SimServer server;
    std::string error;
    testing::internal::CaptureStdout();
    ASSERT_TRUE(server.start({}, error)) << error;
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(server.control("ussd 1 *101# Top up\\nby card"), "OK");
    EXPECT_EQ(server.modem(1)->ussdMenu.at("*101#"), "Top up\nby card");
    EXPECT_EQ(server.control("ussd 1 *100#>3 Roaming on"), "OK");
    EXPECT_EQ(server.control("ussd 1 *100#"), "OK");  // withdrawn
    EXPECT_EQ(server.control("ussd 1 *100#"), "ERROR no such code");
    EXPECT_EQ(server.control("ussd 1 *10a# x"), "ERROR usage: ussd D CODE [TEXT]");
    EXPECT_EQ(server.control("ussd 1 >1 x"), "ERROR usage: ussd D CODE [TEXT]");
    EXPECT_EQ(server.control("ussd 1 *1# say \"hi\""), "ERROR text must be ASCII without quotes");
    EXPECT_EQ(server.control("ussd 1 *1# " + std::string(182, 'x')), "OK");
    EXPECT_EQ(server.control("ussd 1 *1# " + std::string(183, 'x')),
              "ERROR text over 182 characters");
    AtCommandTable t;
    EXPECT_EQ(runLine(t, *server.modem(1), "AT+CUSD=1,\"*101#\"").after[0],
              "+CUSD: 0,\"Top up\nby card\",15");
}

// Wanmate's default init string defines context 1 before dialling; the
// context then reads back, and "=cid" alone undefines it again.
TEST(SimServices, PdpContextDefineReadUndefine) {
    AtCommandTable t;
    ModemState s;
    s.cmee = 1;
    EXPECT_EQ(runLine(t, s, "AT+CGDCONT=1,\"IP\",\"CMNET\"").final, "OK");
    auto r = runLine(t, s, "AT+CGDCONT?");
    ASSERT_EQ(r.lines.size(), 1u);
    EXPECT_EQ(r.lines[0], "+CGDCONT: 1,\"IP\",\"CMNET\",\"\",0,0");
    EXPECT_EQ(runLine(t, s, "AT+CGDCONT=16,\"ipv4v6\",\"net\",\"10.0.0.2\",3,4").final, "OK");
    r = runLine(t, s, "AT+CGDCONT?");
    ASSERT_EQ(r.lines.size(), 2u);
    EXPECT_EQ(r.lines[1], "+CGDCONT: 16,\"IPV4V6\",\"net\",\"10.0.0.2\",3,4");
    EXPECT_EQ(runLine(t, s, "AT+CGDCONT=1;+CGDCONT?").lines,
              std::vector<std::string>{"+CGDCONT: 16,\"IPV4V6\",\"net\",\"10.0.0.2\",3,4"});
    r = runLine(t, s, "AT+CGDCONT=?");
    ASSERT_EQ(r.lines.size(), 4u);
    EXPECT_EQ(r.lines[0], "+CGDCONT: (1-16),\"IP\",,,(0-3),(0-4)");
    EXPECT_EQ(r.final, "OK");
}

TEST(SimServices, PdpContextRefusesWhatNoModemTakes) {
    AtCommandTable t;
    ModemState s;
    s.cmee = 1;
    // Each refused line beside the nearest accepted one.
    for (const char* bad : {"AT+CGDCONT=0,\"IP\",\"a\"", "AT+CGDCONT=17,\"IP\",\"a\"",
                            "AT+CGDCONT=1,\"X25\",\"a\"", "AT+CGDCONT=1,\"IP\",\"a\",\"\",4",
                            "AT+CGDCONT=1,\"IP\",\"a\",\"\",0,5", "AT+CGDCONT=", "AT+CGDCONT"})
        EXPECT_NE(runLine(t, s, bad).final, "OK") << bad;
    EXPECT_TRUE(s.pdpContexts.empty());
    for (const char* good : {"AT+CGDCONT=1,\"IP\",\"a\"", "AT+CGDCONT=16,\"IP\",\"a\"",
                             "AT+CGDCONT=2,\"PPP\"", "AT+CGDCONT=3,\"IP\",\"a\",\"\",3,4"})
        EXPECT_EQ(runLine(t, s, good).final, "OK") << good;
    EXPECT_EQ(s.pdpContexts.size(), 4u);
    s.cmee = 0;
    EXPECT_EQ(runLine(t, s, "AT+CGDCONT=99,\"IP\"").final, "ERROR");
}
