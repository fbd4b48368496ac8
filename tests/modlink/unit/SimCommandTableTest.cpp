// SPDX-License-Identifier: LGPL-2.1-or-later
// zuntosim's command line parser, command table and control channel.
#include <gtest/gtest.h>

#include <cstdio>

#include "AtCommandTable.h"
#include "SimCommand.h"
#include "SimRun.h"
#include "SimServer.h"

using namespace zuntosim;

namespace {

SimReply run(const AtCommandTable& t, ModemState& s, const std::string& line) {
    return runLine(t, s, line);
}

}  // namespace

TEST(SimCommandLine, SplitsBasicAndExtendedCommands) {
    std::vector<SimCommand> c;
    ASSERT_TRUE(parseCommandLine("ATE0V1+CMEE=1;+CPBR=?;+CSCA?", c));
    ASSERT_EQ(c.size(), 5u);
    EXPECT_EQ(c[0].name, "E");
    EXPECT_EQ(c[0].args, "0");
    EXPECT_EQ(c[1].name, "V");
    EXPECT_EQ(c[2].name, "+CMEE");
    EXPECT_EQ(c[2].kind, SimCommand::Kind::Set);
    EXPECT_EQ(c[3].kind, SimCommand::Kind::Test);
    EXPECT_EQ(c[4].kind, SimCommand::Kind::Read);
    ASSERT_TRUE(parseCommandLine("at+cpbw=1,\"1;2\",129,\"a\"", c));
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(c[0].name, "+CPBW");
    EXPECT_EQ(c[0].args, "1,\"1;2\",129,\"a\"");
    EXPECT_FALSE(parseCommandLine("hello", c));
    EXPECT_EQ(splitArgs("1, \"a,b\" ,129"), (std::vector<std::string>{"1", "a,b", "129"}));
    EXPECT_EQ(splitArgs(",\"x\""), (std::vector<std::string>{"", "x"}));
    int n = -1;
    EXPECT_TRUE(parseCount("999999", n));
    EXPECT_EQ(n, 999999);
    for (const char* bad : {"1000000", "", "-1", "1 ", "1a"})
        EXPECT_FALSE(parseCount(bad, n)) << bad;
    EXPECT_EQ(n, 999999);
}

TEST(SimCommandTable, PhonebookInUcs2AndIra) {
    AtCommandTable t;
    ModemState s;
    s.cmee = 1;
    EXPECT_EQ(run(t, s, "AT+CSCS=\"UCS2\"").final, "OK");
    EXPECT_EQ(run(t, s, "AT+CPBW=4,\"13912345678\",129,\"738B5C0F660E\"").final, "OK");
    auto r = run(t, s, "AT+CPBR=1,10");
    ASSERT_EQ(r.lines.size(), 1u);
    EXPECT_EQ(r.lines[0], "+CPBR: 4,\"13912345678\",129,\"738B5C0F660E\"");
    EXPECT_EQ(run(t, s, "AT+CSCS=\"IRA\"").final, "OK");
    r = run(t, s, "AT+CPBR=4");
    EXPECT_EQ(r.lines[0], "+CPBR: 4,\"13912345678\",129,\"???\"");
    // Storing without an index takes the first free position.
    EXPECT_EQ(run(t, s, "AT+CPBW=,\"+861\",145,\"Bob\"").final, "OK");
    EXPECT_EQ(s.phonebook.at(1).number, "+861");
    EXPECT_EQ(run(t, s, "AT+CPBW=4").final, "OK");
    EXPECT_EQ(s.phonebook.count(4), 0u);
    EXPECT_EQ(run(t, s, "AT+CPBR=4").final, "+CME ERROR: 22");
}

TEST(SimCommandTable, PhonebookRefusesWhatASimCannotHold) {
    AtCommandTable t;
    ModemState s;
    s.cmee = 1;
    s.phonebookCapacity = 2;
    run(t, s, "AT+CSCS=\"UCS2\"");
    EXPECT_EQ(run(t, s, "AT+CPBW=3,\"1\",129,\"0041\"").final, "+CME ERROR: 21");
    EXPECT_EQ(run(t, s, "AT+CPBW=1,\"12a\",129,\"0041\"").final, "+CME ERROR: 27");
    EXPECT_EQ(run(t, s, "AT+CPBW=1,\"123456789012345678901\",129,\"\"").final, "+CME ERROR: 26");
    EXPECT_EQ(run(t, s, "AT+CPBW=1,\"1\",129,\"00410\"").final, "+CME ERROR: 25");
    std::string longName(23 * 4, '0');
    for (std::size_t i = 3; i < longName.size(); i += 4) longName[i] = '1';
    EXPECT_EQ(run(t, s, "AT+CPBW=1,\"1\",129,\"" + longName + "\"").final, "+CME ERROR: 24");
    EXPECT_EQ(run(t, s, "AT+CPBW=,\"1\",129,\"0041\"").final, "OK");
    EXPECT_EQ(run(t, s, "AT+CPBW=,\"2\",129,\"0041\"").final, "OK");
    EXPECT_EQ(run(t, s, "AT+CPBW=,\"3\",129,\"0041\"").final, "+CME ERROR: 20");
    EXPECT_EQ(run(t, s, "AT+CPBS=\"ME\"").final, "+CME ERROR: 3");
}

TEST(SimCommandTable, ErrorFormsFollowCmee) {
    AtCommandTable t;
    ModemState s;
    EXPECT_EQ(run(t, s, "AT+CPBR=999").final, "ERROR");
    run(t, s, "AT+CMEE=2");
    EXPECT_EQ(run(t, s, "AT+CPBR=999").final, "+CME ERROR: invalid index");
    EXPECT_EQ(run(t, s, "AT+NOSUCH").final, "ERROR");
    EXPECT_EQ(run(t, s, "ATE1+NOSUCH+CSQ").lines.size(), 0u);
}

TEST(SimCommandTable, CentreFollowsTheCharacterSet) {
    AtCommandTable t;
    ModemState s;
    run(t, s, "AT+CSCS=\"UCS2\"");
    auto r = run(t, s, "AT+CSCA?");
    EXPECT_EQ(r.lines[0],
              "+CSCA: \"002B0038003600310033003800300030003100300030003500300030\",145");
    EXPECT_EQ(run(t, s, "AT+CSCA=\"00310030003000380036\",129").final, "OK");
    EXPECT_EQ(s.centre, "10086");
    EXPECT_EQ(run(t, s, "AT+CSCA=\"+8613800755500\",145").final, "OK");
    EXPECT_EQ(s.centre, "+8613800755500");
    s.messages[3] = "00";
    EXPECT_EQ(run(t, s, "AT+CPMS?").lines[0], "+CPMS: \"SM\",1,30,\"SM\",1,30,\"SM\",1,30");
}

TEST(SimCommandTable, RegistrationAndOperatorFormats) {
    AtCommandTable t;
    ModemState s;
    s.cmee = 1;
    EXPECT_EQ(run(t, s, "AT+CREG?").lines[0], "+CREG: 0,1");
    EXPECT_EQ(run(t, s, "AT+CREG=2").final, "OK");
    EXPECT_EQ(run(t, s, "AT+CREG?").lines[0], "+CREG: 2,1,\"247D\",\"0F3C\"");
    EXPECT_EQ(run(t, s, "AT+CREG=1;+CREG?").lines[0], "+CREG: 1,1");
    EXPECT_EQ(run(t, s, "AT+CREG=3").final, "+CME ERROR: 4");
    EXPECT_EQ(s.cregMode, 1);
    EXPECT_EQ(run(t, s, "AT+CGREG=2;+CGREG?").lines[0], "+CGREG: 2,1,\"247D\",\"0F3C\"");
    // Numeric is the power-on format; 3 changes only the format.
    EXPECT_EQ(run(t, s, "AT+COPS?").lines[0], "+COPS: 0,2,\"46000\"");
    EXPECT_EQ(run(t, s, "AT+COPS=3,0;+COPS?").lines[0], "+COPS: 0,0,\"CHINA MOBILE\"");
    EXPECT_EQ(run(t, s, "AT+COPS=3,1;+COPS?").lines[0], "+COPS: 0,1,\"CMCC\"");
    EXPECT_EQ(run(t, s, "AT+COPS=3,3").final, "+CME ERROR: 4");
    EXPECT_EQ(run(t, s, "AT+COPS=1,2,\"46001\"").final, "+CME ERROR: 32");
    EXPECT_EQ(run(t, s, "AT+COPS=1,2,\"46000\";+COPS?").lines[0], "+COPS: 0,2,\"46000\"");
    // Deregistering is reported to each mode that asked, without LAC/CI.
    auto r = run(t, s, "AT+COPS=2");
    EXPECT_EQ(r.after, (std::vector<std::string>{"+CREG: 0", "+CGREG: 0"}));
    EXPECT_EQ(run(t, s, "AT+COPS?").lines[0], "+COPS: 2");
    EXPECT_EQ(run(t, s, "AT+CGREG?").lines[0], "+CGREG: 2,0");
    EXPECT_TRUE(run(t, s, "AT+COPS=2").after.empty());  // no change, no report
    EXPECT_EQ(run(t, s, "AT+COPS=0").after,
              (std::vector<std::string>{"+CREG: 1", "+CGREG: 1,\"247D\",\"0F3C\""}));
}

TEST(SimControl, GrammarAnswersOkOrError) {
    SimServer server;
    SimOptions o;
    o.devices = 2;
    std::string error;
    testing::internal::CaptureStdout();
    ASSERT_TRUE(server.start(o, error)) << error;
    std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed.rfind("device 1 /dev/pts/", 0), 0u) << printed;
    EXPECT_NE(printed.find("\ndevice 2 /dev/pts/"), std::string::npos);

    EXPECT_EQ(server.control("signal 2 31"), "OK");
    EXPECT_EQ(server.modem(2)->signal, 31);
    EXPECT_EQ(server.control("signal 2 32"), "ERROR signal takes 0..31 or 99");
    EXPECT_EQ(server.control("signal 3 1"), "ERROR no such device");
    EXPECT_EQ(server.control("signal"), "ERROR missing device");
    EXPECT_EQ(server.control("fail 1 +CPBW TIMEOUT 3"), "OK");
    ASSERT_EQ(server.modem(1)->faults.size(), 1u);
    EXPECT_EQ(server.modem(1)->faults[0].command, "+CPBW");
    EXPECT_EQ(server.modem(1)->faults[0].count, 3);
    EXPECT_EQ(server.control("fail 1 cpbr CME:10"), "OK");
    EXPECT_EQ(server.modem(1)->faults[1].command, "+CPBR");
    EXPECT_EQ(server.control("fail 1 +CPBW MAYBE"), "ERROR kind is ERROR, TIMEOUT, CME:n or CMS:n");
    EXPECT_EQ(server.control("delay 1 +CSQ 250"), "OK");
    EXPECT_EQ(server.modem(1)->delays.at("+CSQ"), 250);
    EXPECT_EQ(server.control("pbfill 1 251"), "ERROR usage: pbfill D N");
    EXPECT_EQ(server.control("pbfill 1 2"), "OK");
    EXPECT_EQ(server.control("pbget 1 1"), "OK 13900001001,联系人1");
    EXPECT_EQ(server.control("garbage 1"), "OK");
    EXPECT_EQ(server.control("unplug 1"), "OK");
    EXPECT_EQ(server.control("signal 1 3"), "ERROR unplugged");
    EXPECT_EQ(server.control("dance 2"), "ERROR unknown command dance");
    EXPECT_EQ(server.control("dance"), "ERROR unknown command dance");
    EXPECT_EQ(server.control("quit"), "OK");
}

TEST(SimControl, PhonebookPreloadFile) {
    std::string path = testing::TempDir() + "zuntosim-pb.txt";
    {
        std::FILE* f = std::fopen(path.c_str(), "w");
        std::fputs("# index,number,name\n1,10086,客服\n3,+8613912345678,王小明\n", f);
        std::fclose(f);
    }
    SimServer server;
    SimOptions o;
    o.phonebookFile = path;
    std::string error;
    testing::internal::CaptureStdout();
    ASSERT_TRUE(server.start(o, error)) << error;
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(server.control("pbget 1 3"), "OK +8613912345678,王小明");
    EXPECT_EQ(server.modem(1)->phonebook.size(), 2u);

    std::FILE* f = std::fopen(path.c_str(), "w");
    std::fputs("1,10086,a\nnonsense\n", f);
    std::fclose(f);
    SimServer bad;
    EXPECT_FALSE(bad.start(o, error));
    EXPECT_EQ(error, path + ":2: expected index,number,name");
    std::remove(path.c_str());
}

// The SIM's PIN as the simulator keeps it, one command a row in order.
TEST(SimCommandTable, PinPukAndTheCommandsALockedSimRefuses) {
    AtCommandTable t;
    ModemState s;
    s.cmee = 1;
    s.pin = "1234";
    s.simLock = ModemState::SimLock::Pin;
    struct Row {
        const char* line;
        const char* first;  // first information line, "" for none
        const char* final;
    } rows[] = {
        {"AT+CPIN?", "+CPIN: SIM PIN", "OK"},
        {"AT+CPMS?", "", "+CME ERROR: 11"},
        {"AT+CSQ", "+CSQ: 20,99", "OK"},  // the radio needs no SIM
        {"AT+CPINR", "+CPINR: SIM PIN,3,3", "OK"},
        {"AT+CPIN=\"0000\"", "", "+CME ERROR: 16"},
        {"AT+CPIN=\"123\"", "", "+CME ERROR: 16"},  // no PIN's form: not counted
        {"AT+CPINR", "+CPINR: SIM PIN,2,3", "OK"},
        {"AT+CPIN=\"1111\"", "", "+CME ERROR: 16"},
        {"AT+CPINR", "+CPINR: SIM PIN,1,3", "OK"},
        {"AT+CPIN=\"9999\"", "", "+CME ERROR: 16"},  // the third: blocked
        {"AT+CPIN?", "+CPIN: SIM PUK", "OK"},
        {"AT+CSCA?", "", "+CME ERROR: 12"},
        {"AT+CPIN=\"1234\"", "", "+CME ERROR: 16"},  // the PIN no longer opens it
        {"AT+CPIN=\"12345679\",\"4321\"", "", "+CME ERROR: 16"},
        {"AT+CPINR", "+CPINR: SIM PIN,0,3", "OK"},
        {"AT+CPIN=\"12345678\",\"4321\"", "", "OK"},
        {"AT+CPIN?", "+CPIN: READY", "OK"},
        {"AT+CPIN=\"4321\"", "", "+CME ERROR: 3"},  // nothing to unlock
        {"AT+CPMS?", "+CPMS: \"SM\",0,30,\"SM\",0,30,\"SM\",0,30", "OK"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.line);
        auto reply = run(t, s, r.line);
        EXPECT_EQ(reply.final, r.final);
        EXPECT_EQ(reply.lines.empty() ? "" : reply.lines.front(), std::string(r.first));
    }
    EXPECT_EQ(s.pin, "4321");
    EXPECT_EQ(s.pukTries, ModemState::kPukTries);

    SimServer server;
    SimOptions o;
    std::string error;
    testing::internal::CaptureStdout();
    ASSERT_TRUE(server.start(o, error)) << error;
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(server.control("pin 1 4321"), "OK");
    EXPECT_NE(server.control("status 1").find("sim=PIN pin=4321"), std::string::npos);
    EXPECT_EQ(server.control("pin 1 off"), "OK");
    EXPECT_NE(server.control("status 1").find("sim=READY pin=off"), std::string::npos);
    EXPECT_EQ(server.control("pin 1 123"), "ERROR a PIN is 4 to 8 digits");
    EXPECT_EQ(server.control("pin 1 123456789"), "ERROR a PIN is 4 to 8 digits");
    EXPECT_EQ(server.control("pin 1 12345678"), "OK");
    EXPECT_EQ(server.control("pin 1"), "ERROR usage: pin D CODE|off");
}
