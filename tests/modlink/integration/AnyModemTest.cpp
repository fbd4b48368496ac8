// SPDX-License-Identifier: LGPL-2.1-or-later
// Modems of other makers found through the table beside the library, and a
// SIM that wants its PIN, against zuntosim.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "ModlinkFixture.h"
#include "support/FakeUsbTree.h"

namespace fs = std::filesystem;

using test::WatchedPort;

namespace {

std::string runTool(const std::string& args, const std::string& input = {}) {
    std::string cmd = std::string(ZUNTO_BIN_DIR) + "/modlink-tool --wait 10 " + args + " 2>&1";
    if (!input.empty()) cmd = "printf '" + input + "' | " + cmd;
    std::string out;
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return out;
    char buf[512];
    while (std::fgets(buf, sizeof buf, p)) out += buf;
    int st = ::pclose(p);
    return out + "exit " + std::to_string(WIFEXITED(st) ? WEXITSTATUS(st) : -1);
}

}  // namespace

// One desktop: a Huawei stick (its PCUI port is the simulator), a USB serial
// adapter and a microcontroller board (CDC-ACM) of a maker the table does
// not know. The stick is found with no setting and attaches once although
// its port is also named; the strangers and the stick's modem port receive
// not a byte, and modlink-tool ports tells why.
TEST(AnyModem, TableModemAttachesOnceAndStrangersReceiveNothing) {
    SimProcess sim(1);
    ASSERT_TRUE(sim.ok());
    WatchedPort modemPort, adapter, board;
    ASSERT_FALSE(board.path().empty());
    fs::path root = fs::temp_directory_path() / ("modlink-desktop-" + std::to_string(::getpid()));
    fs::remove_all(root);
    test::addUsbPort(root / "sys", "1-2", 0x12d1, 0x1001, 0, "ttyUSB0", root / "dev",
                     modemPort.path());
    test::addUsbPort(root / "sys", "1-2", 0x12d1, 0x1001, 2, "ttyUSB2", root / "dev",
                     sim.ports()[0]);
    test::addUsbPort(root / "sys", "1-4", 0x0403, 0x6001, 0, "ttyUSB9", root / "dev",
                     adapter.path());
    test::addUsbPort(root / "sys", "1-5", 0x2341, 0x0043, 0, "ttyACM0", root / "dev", board.path());
    fs::create_directories(root / "lock");
    ::setenv("MODLINK_SYSFS_ROOT", (root / "sys").c_str(), 1);
    ::setenv("MODLINK_DEV_DIR", (root / "dev").c_str(), 1);
    ::setenv("MODLINK_LOCK_DIR", (root / "lock").c_str(), 1);
    ::setenv("MODLINK_PORTS", sim.ports()[0].c_str(), 1);
    ::unsetenv("MODLINK_USB");
    ::unsetenv("MODLINK_MODEM_TABLE");  // the table beside the library

    expectOneDeviceAnswering(sim, 17);

    std::string out = runTool("ports");
    EXPECT_NE(out.find("\"device\":1,\"port\":\"" + (root / "dev/ttyUSB2").string() +
                       "\",\"usb\":\"12d1:1001\",\"maker\":\"Zunto\",\"model\":\"ZT3D41\","
                       "\"found\":\"table\"}"),
              std::string::npos)
        << out;
    EXPECT_EQ(out.find("\"device\":2"), std::string::npos) << out;
    EXPECT_NE(out.find("{\"unused\":\"" + (root / "dev/ttyACM0").string() +
                       "\",\"usb\":\"2341:0043\",\"why\":\"CDC-ACM device"),
              std::string::npos)
        << out;
    EXPECT_NE(
        out.find("{\"unused\":\"" + (root / "dev/ttyUSB9").string() + "\",\"usb\":\"0403:6001\""),
        std::string::npos)
        << out;
    EXPECT_NE(
        out.find("{\"unused\":\"" + (root / "dev/ttyUSB0").string() + "\",\"usb\":\"12d1:1001\""),
        std::string::npos)
        << out;
    EXPECT_NE(out.find("exit 0"), std::string::npos) << out;

    // Named, the board is used as the user said.
    ::setenv("MODLINK_PORTS", (root / "dev/ttyACM0").c_str(), 1);
    out = runTool("--wait 2 at AT");
    EXPECT_NE(board.received().find("AT"), std::string::npos);

    EXPECT_EQ(adapter.received(), "");
    EXPECT_EQ(modemPort.received(), "");
    for (const char* v :
         {"MODLINK_SYSFS_ROOT", "MODLINK_DEV_DIR", "MODLINK_LOCK_DIR", "MODLINK_PORTS"})
        ::unsetenv(v);
    fs::remove_all(root);
}

namespace {

// Modem 1's SIM asks for 1234 from the start; modem 2's asks for nothing.
class SimPinFixture : public ModlinkFixture {
protected:
    void SetUp() override {
        m_trace = fs::temp_directory_path() / ("modlink-pin-trace-" + std::to_string(::getpid()));
        fs::remove(m_trace);
        ::setenv("MODLINK_TRACE", m_trace.c_str(), 1);
        sim = std::make_unique<SimProcess>(2);
        ASSERT_TRUE(sim->ok());
        ASSERT_EQ(sim->control("pin 1 1234"), "OK");
        ::setenv("MODLINK_PORTS", sim->portList().c_str(), 1);
        ::setenv("MODLINK_USB", "0", 1);
        ::setenv("MODLINK_TIMEOUT_MS", std::to_string(kTimeoutMs).c_str(), 1);
        ASSERT_EQ(InitModules(), 0);
        RegistCallbackFunction(&EventRecorder::callback, &events);
    }
    void TearDown() override {
        ModlinkFixture::TearDown();
        ::unsetenv("MODLINK_TRACE");
        fs::remove(m_trace);
    }
    std::string trace() {
        std::ifstream f(m_trace);
        return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    }
    std::string wrong(const char* pin, const char* newPin = nullptr) {
        int id = EnterSimPin(1, pin, newPin);
        if (id < 0) return "refused";
        std::string answer = EventRecorder::text(events.take(MODLINK_EV_ENTER_PIN, id));
        return answer + " -> " + EventRecorder::text(events.take(MODLINK_EV_SIM_STATE, 1));
    }
    fs::path m_trace;
};

}  // namespace

TEST_F(SimPinFixture, LockedWrongPinsThenPukAndANewPin) {
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SIM_STATE, 1)), "SIM PIN,3");
    // Locked: answered at once, not after a time-out; the settings that
    // need the SIM wait.
    GetSignal(1);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SIGNAL, 1, kTimeoutMs / 2)),
              "ERROR: SIM PIN");
    EXPECT_NE(sim->control("status 1").find("charset=IRA"), std::string::npos);
    // A send goes to the open device.
    int send = SendSMSMessage("10086", "hi");
    ASSERT_GE(send, 0);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SEND, send, 10000)), "OK");
    EXPECT_EQ(sim->control("sent 2"), "OK 1");
    EXPECT_EQ(sim->control("sent 1"), "OK 0");
    // Refused at once: an open SIM, codes of 3 and 9 digits, a letter.
    EXPECT_EQ(EnterSimPin(2, "1234", nullptr), -1);
    EXPECT_EQ(EnterSimPin(1, "123", nullptr), -1);
    EXPECT_EQ(EnterSimPin(1, "123456789", nullptr), -1);
    EXPECT_EQ(EnterSimPin(1, "12a4", nullptr), -1);
    EXPECT_EQ(EnterSimPin(1, nullptr, nullptr), -1);
    // Three wrong PINs block the SIM.
    EXPECT_EQ(wrong("0000"), "ERROR: +CME ERROR: 16 -> SIM PIN,2");
    EXPECT_EQ(wrong("1111"), "ERROR: +CME ERROR: 16 -> SIM PIN,1");
    EXPECT_EQ(wrong("22222222"), "ERROR: +CME ERROR: 16 -> SIM PUK,10");
    EXPECT_EQ(wrong("1234"), "ERROR: SIM PUK -> SIM PUK,10");  // the PIN no longer does
    EXPECT_EQ(wrong("87654321", "4321"), "ERROR: +CME ERROR: 16 -> SIM PUK,9");
    int id = EnterSimPin(1, "12345678", "4321");
    ASSERT_GE(id, 0);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_ENTER_PIN, id)), "OK");
    // Set up now, and working as any other.
    EXPECT_EQ(sim->control("signal 1 9"), "OK");
    GetSignal(1);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SIGNAL, 1)), "9");
    std::string status = sim->control("status 1");
    EXPECT_NE(status.find("charset=UCS2"), std::string::npos) << status;
    EXPECT_NE(status.find("sim=READY pin=4321"), std::string::npos) << status;
    EXPECT_EQ(EnterSimPin(1, "4321", nullptr), -1);
    EXPECT_TRUE(events.all(MODLINK_EV_SIM_STATE).empty());
    // No code reached the trace; the command did.
    CloseModules();
    std::string t = trace();
    EXPECT_NE(t.find("AT+CPIN=(hidden)"), std::string::npos);
    for (const char* code : {"0000", "1111", "22222222", "87654321", "12345678", "4321"})
        EXPECT_EQ(t.find(std::string("\\\"") + code + "\\\""), std::string::npos) << code;
    EXPECT_EQ(t.find("CPIN=\\\""), std::string::npos);
}

TEST_F(SimPinFixture, ToolTellsTheStateAndTakesThePinFromStandardInput) {
    CloseModules();
    std::string port = "--port " + sim->ports()[0];
    std::string out = runTool(port + " pin status");
    EXPECT_NE(out.find("{\"device\":1,\"sim\":\"SIM PIN,3\"}"), std::string::npos) << out;
    out = runTool(port + " pin enter", "9999\\n");
    EXPECT_NE(out.find("\"text\":\"ERROR: +CME ERROR: 16\""), std::string::npos) << out;
    EXPECT_NE(out.find("\"text\":\"SIM PIN,2\""), std::string::npos) << out;
    EXPECT_NE(out.find("exit 1"), std::string::npos) << out;
    out = runTool(port + " pin enter", "1234\\n");
    EXPECT_NE(out.find("{\"event\":4098,"), std::string::npos) << out;
    EXPECT_NE(out.find("\"text\":\"OK\""), std::string::npos) << out;
    EXPECT_NE(out.find("exit 0"), std::string::npos) << out;
    out = runTool(port + " pin status");
    EXPECT_NE(out.find("{\"device\":1,\"sim\":\"READY\"}"), std::string::npos) << out;
    EXPECT_EQ(out.find("1234"), std::string::npos) << out;
}
