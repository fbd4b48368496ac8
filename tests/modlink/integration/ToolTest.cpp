// SPDX-License-Identifier: LGPL-2.1-or-later
// modlink-tool against the simulator: JSON lines out, exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>

#include "support/SimProcess.h"

using support::SimProcess;

namespace {

struct ToolRun {
    std::string out;
    int status = -1;
};

ToolRun tool(const std::string& args) {
    ToolRun r;
    std::string cmd = std::string(ZUNTO_BIN_DIR) + "/modlink-tool --wait 10 " + args + " 2>&1";
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[512];
    while (std::fgets(buf, sizeof buf, p)) r.out += buf;
    int st = ::pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

}  // namespace

TEST(ModlinkTool, InfoPhonebookAndRawCommands) {
    SimProcess sim(2);
    ASSERT_TRUE(sim.ok());
    std::string ports = "--port " + sim.ports()[0] + " --port " + sim.ports()[1];
    EXPECT_EQ(sim.control("signal 2 18"), "OK");
    ToolRun r = tool(ports + " info");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("{\"event\":4,\"param\":2,\"text\":\"18\"}"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"text\":\"\\\"1-250\\\"\"}"), std::string::npos) << r.out;

    r = tool(ports + " --device 2 phonebook write 7 +8613912345678 王小明");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(sim.control("pbget 2 7"), "OK +8613912345678,王小明");
    r = tool(ports + " --device 2 phonebook list");
    EXPECT_NE(r.out.find("\"text\":\"\\\"7\\\",\\\"+8613912345678\\\",\\\"王小明\\\"\"}"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\"text\":null}"), std::string::npos) << r.out;

    r = tool(ports + " at +CPBR=999");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("\"result\":\"+CME ERROR: 21\""), std::string::npos) << r.out;
    r = tool(ports + " phonebook delete x");
    EXPECT_EQ(r.status, 2);
    r = tool("--port /nonexistent/ttyUSB7 info");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("\"error\""), std::string::npos);
}

TEST(ModlinkTool, MessagesCallsAndPdus) {
    // The codec needs no modem.
    ToolRun r = tool("pdu encode +8613912345678 你好");
    ASSERT_EQ(r.status, 0) << r.out;
    std::string pdu = r.out.substr(0, r.out.find('\n'));
    r = tool("pdu decode " + pdu);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("\"type\":\"submit\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"number\":\"+8613912345678\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"text\":\"你好\""), std::string::npos) << r.out;
    r = tool("pdu decode 0011000B91");
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_FALSE(r.out.empty());

    SimProcess sim(1);
    ASSERT_TRUE(sim.ok());
    std::string port = "--port " + sim.ports()[0];
    r = tool(port + " sms send 10086 早上好");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(sim.control("sent 1 1"), "OK 10086 早上好");
    ASSERT_EQ(sim.control("fill 1 2"), "OK");
    r = tool(port + " sms list");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("{\"event\":264,\"param\":1,\"text\":\"2\"}"), std::string::npos) << r.out;
    r = tool(port + " sms read 2");
    EXPECT_NE(r.out.find("Stored message 2"), std::string::npos) << r.out;
    r = tool(port + " sms delete 2");
    EXPECT_EQ(r.status, 0) << r.out;
    r = tool(port + " sms read 2");
    EXPECT_EQ(r.status, 1) << r.out;
    // A part of a long message shows which part it is; a whole one does not.
    ASSERT_EQ(sim.control("smsparts 1 10086 2 first half, second half"), "OK");
    r = tool(port + " sms read 3");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find(":2:2\\\""), std::string::npos) << r.out;
    r = tool(port + " sms read 1");
    EXPECT_EQ(r.out.find(":1:"), std::string::npos) << r.out;
    ASSERT_EQ(sim.control("sendfail 10086 ERROR"), "OK");
    r = tool(port + " sms send 10086 x");
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_EQ(tool(port + " sms send 10a86 x").status, 1);  // refused

    r = tool(port + " call dial 10086");
    EXPECT_EQ(r.status, 0) << r.out;
    r = tool(port + " call status");
    EXPECT_NE(r.out.find("{\"event\":776"), std::string::npos) << r.out;
    r = tool(port + " call hangup");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(sim.control("status 1").find("call=none"), std::string::npos);
    EXPECT_EQ(tool(port + " call dtmf").status, 2);
}

// Each process starts the concatenation reference somewhere else, so a
// restart does not repeat the reference just used for the same recipient.
TEST(ModlinkTool, ConcatenationReferenceDiffersBetweenRuns) {
    SimProcess sim(1);
    ASSERT_TRUE(sim.ok());
    std::string text;
    for (int i = 0; i < 80; ++i) text += "长";  // two UCS-2 parts
    const std::string trace = "/tmp/modlink-ref-trace-" + std::to_string(::getpid());
    std::set<std::string> refs;
    for (int run = 0; run < 3; ++run) {
        std::remove(trace.c_str());
        ::setenv("MODLINK_TRACE", trace.c_str(), 1);  // the tool inherits it
        ToolRun r = tool("--port " + sim.ports()[0] + " sms send 10086 " + text);
        ::unsetenv("MODLINK_TRACE");
        ASSERT_EQ(r.status, 0) << r.out;
        std::ifstream f(trace);
        std::string log((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
        // The 8-bit concatenation header of part 1 of 2 (23.040 9.2.3.24.1).
        std::smatch m;
        ASSERT_TRUE(std::regex_search(log, m, std::regex("050003([0-9A-F]{2})0201"))) << log;
        refs.insert(m[1]);
    }
    std::remove(trace.c_str());
    // Three equal starts by chance: 1 in 65536.
    EXPECT_GT(refs.size(), 1u);
}

TEST(ModlinkTool, UssdPrintsTheNetworksAnswer) {
    SimProcess sim(1);
    ASSERT_TRUE(sim.ok());
    ToolRun r = tool("--port " + sim.ports()[0] + " ussd ''");
    EXPECT_EQ(r.status, 1) << r.out;  // an empty code is refused
    ASSERT_EQ(sim.control("ussd 1 *101# Data left: 512 MB"), "OK");
    r = tool("--port " + sim.ports()[0] + " ussd '*101#'");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(
        r.out.find("{\"event\":4101,\"param\":1,\"text\":\"\\\"0\\\",\\\"Data left: 512 MB\\\"\"}"),
        std::string::npos)
        << r.out;
}
