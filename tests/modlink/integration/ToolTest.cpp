// modlink-tool against the simulator: JSON lines out, exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>

#include "SimProcess.h"

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
