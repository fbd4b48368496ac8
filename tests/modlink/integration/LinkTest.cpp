// SPDX-License-Identifier: LGPL-2.1-or-later
// The link's life cycle and its behaviour when the modem misbehaves.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>

#include "ModlinkFixture.h"
#include "support/FakeUsbTree.h"

namespace fs = std::filesystem;

TEST_F(ModlinkFixture, CountsBothDevicesAndAnswersSignalPerDevice) {
    int count = 0;
    EXPECT_EQ(GetActiveDeviceCount(&count), 0);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(sim->control("signal 1 7"), "OK");
    EXPECT_EQ(sim->control("signal 2 99"), "OK");
    int a = GetSignal(1), b = GetSignal(2);
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    EXPECT_NE(a, b);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SIGNAL, 1)), "7");
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SIGNAL, 2)), "99");
    EXPECT_EQ(GetSignal(0), -1);
    EXPECT_EQ(GetSignal(3), -1);
}

TEST_F(ModlinkFixture, ModemIsSetUpForPduUcs2AndNoEcho) {
    std::string status = sim->control("status 1");
    EXPECT_NE(status.find("charset=UCS2"), std::string::npos) << status;
    EXPECT_NE(status.find("echo=0"), std::string::npos) << status;
}

TEST_F(ModlinkFixture, ErrorAndTimeoutAnswers) {
    EXPECT_EQ(sim->control("fail 1 +CSQ ERROR"), "OK");
    GetSignal(1);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SIGNAL, 1)), "ERROR");
    EXPECT_EQ(sim->control("fail 1 +CSCA CMS:500"), "OK");
    int id = GetGSMCenter(1);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_GET_CENTER, id)),
              "ERROR: +CMS ERROR: 500");
    EXPECT_EQ(sim->control("fail 1 +CSQ TIMEOUT"), "OK");
    GetSignal(1);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SIGNAL, 1)), "TIMEOUT");
    // The link recovers: the next request gets its own answer.
    EXPECT_EQ(sim->control("signal 1 21"), "OK");
    GetSignal(1);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SIGNAL, 1)), "21");
}

TEST_F(ModlinkFixture, LateReplyIsDiscardedNotCreditedToTheNextCommand) {
    EXPECT_EQ(sim->control("signal 1 11"), "OK");
    EXPECT_EQ(sim->control("delay 1 +CSQ " + std::to_string(kTimeoutMs + 200)), "OK");
    GetSignal(1);
    int centre = GetGSMCenter(1);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SIGNAL, 1)), "TIMEOUT");
    // The late "+CSQ: 11" must not answer the centre request queued behind.
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_GET_CENTER, centre)), "+8613800100500");
    EXPECT_EQ(sim->control("signal 1 12"), "OK");
    GetSignal(1);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SIGNAL, 1)), "12");
    EXPECT_TRUE(events.all(MODLINK_EV_UNPLUGGED).empty());
}

TEST_F(ModlinkFixture, GarbageAndUnsolicitedLinesAreTolerated) {
    EXPECT_EQ(sim->control("garbage 1"), "OK");
    EXPECT_EQ(sim->control("unsolicited 1 +CMTI: \"SM\",3"), "OK");
    EXPECT_EQ(sim->control("unsolicited 1 ^RSSI:14"), "OK");
    EXPECT_EQ(sim->control("signal 1 14"), "OK");
    GetSignal(1);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SIGNAL, 1)), "14");
    // Unsolicited lines during a command, and garbage just before its reply.
    EXPECT_EQ(sim->control("delay 1 +CSQ 150"), "OK");
    GetSignal(1);
    EXPECT_EQ(sim->control("unsolicited 1 RING"), "OK");
    EXPECT_EQ(sim->control("garbage 1"), "OK");
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SIGNAL, 1)), "14");
}

TEST_F(ModlinkFixture, UnplugReportsOnlyThatDevice) {
    EXPECT_EQ(sim->control("unplug 2"), "OK");
    auto e = events.take(MODLINK_EV_UNPLUGGED, 2);
    ASSERT_TRUE(e.has_value());
    EXPECT_FALSE(e->text.has_value());
    EXPECT_EQ(GetSignal(2), -1);
    GetSignal(1);
    EXPECT_EQ(events.take(MODLINK_EV_SIGNAL, 1).has_value(), true);
    EXPECT_EQ(events.all(MODLINK_EV_UNPLUGGED).size(), 0u);  // device 1 never reported
}

TEST_F(ModlinkFixture, RepeatedTimeoutsMeanTheDeviceIsLost) {
    EXPECT_EQ(sim->control("fail 2 +CSQ TIMEOUT 10"), "OK");
    EXPECT_EQ(sim->control("fail 2 AT TIMEOUT 10"), "OK");
    for (int i = 0; i < 3; ++i) GetSignal(2);
    EXPECT_TRUE(events.take(MODLINK_EV_UNPLUGGED, 2, 15000).has_value());
    EXPECT_EQ(GetSignal(2), -1);
    GetSignal(1);
    EXPECT_TRUE(events.take(MODLINK_EV_SIGNAL, 1).has_value());
}

TEST_F(ModlinkFixture, CommandCountFollowsTheQueue) {
    EXPECT_EQ(sim->control("delay 1 +CSQ 300"), "OK");
    GetSignal(1);
    GetSignal(1);
    GetSignal(1);
    EXPECT_GE(GetCommandCount(1), 2);
    EXPECT_EQ(GetCommandCount(2), 0);
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(events.take(MODLINK_EV_SIGNAL, 1).has_value());
    // A request counts until its answer has been delivered.
    EXPECT_TRUE(EventRecorder::waitUntil([] { return GetCommandCount(1) == 0; }));
    EXPECT_EQ(GetCommandCount(9), 0);
}

TEST_F(ModlinkFixture, CloseThenInitAgain) {
    EXPECT_EQ(CloseModules(), 0);
    int count = 5;
    EXPECT_EQ(GetActiveDeviceCount(&count), -1);
    EXPECT_EQ(GetSignal(1), -1);
    ASSERT_EQ(InitModules(), 0);
    EXPECT_EQ(GetActiveDeviceCount(&count), 0);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(sim->control("signal 2 3"), "OK");
    GetSignal(2);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SIGNAL, 2)), "3");
}

TEST_F(ModlinkFixture, TraceFileHoldsTheSession) {
    CloseModules();
    fs::path trace = fs::temp_directory_path() / ("modlink-trace-" + std::to_string(::getpid()));
    fs::remove(trace);
    ::setenv("MODLINK_TRACE", trace.c_str(), 1);
    ASSERT_EQ(InitModules(), 0);
    GetSignal(1);
    ASSERT_TRUE(events.take(MODLINK_EV_SIGNAL, 1).has_value());
    CloseModules();
    ::unsetenv("MODLINK_TRACE");
    std::ifstream f(trace);
    std::string all((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    EXPECT_NE(all.find("\"tx\":\"AT+CSQ\""), std::string::npos);
    EXPECT_NE(all.find("\"rx\":\"+CSQ: 20,99\""), std::string::npos);
    EXPECT_NE(all.find("\"event\":4,\"param\":1,\"text\":\"20\""), std::string::npos);
    fs::remove(trace);
    ASSERT_EQ(InitModules(), 0);
}

TEST(ModlinkPorts, PortHeldByAnotherProgramMakesInitFail) {
    SimProcess sim(1);
    ASSERT_TRUE(sim.ok());
    ::setenv("MODLINK_PORTS", sim.portList().c_str(), 1);
    ::setenv("MODLINK_USB", "0", 1);
    int fd = ::open(sim.ports()[0].c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    EXPECT_NE(InitModules(), 0);
    ::close(fd);
    EXPECT_EQ(InitModules(), 0);
    CloseModules();
}

TEST(ModlinkPorts, LiveLockFileMakesInitFailAndStaleOneDoesNot) {
    SimProcess sim(1);
    ASSERT_TRUE(sim.ok());
    fs::path dir = fs::temp_directory_path() / ("modlink-lock-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    ::setenv("MODLINK_PORTS", sim.portList().c_str(), 1);
    ::setenv("MODLINK_USB", "0", 1);
    ::setenv("MODLINK_LOCK_DIR", dir.c_str(), 1);
    fs::path lock = dir / ("LCK.." + fs::path(sim.ports()[0]).filename().string());
    std::ofstream(lock) << "      " << ::getpid() << "\n";
    EXPECT_NE(InitModules(), 0);
    std::ofstream(lock, std::ios::trunc) << "   999999999\n";  // no such process
    EXPECT_EQ(InitModules(), 0);
    CloseModules();
    ::unsetenv("MODLINK_LOCK_DIR");
    fs::remove_all(dir);
}

TEST(ModlinkPorts, NoPortsIsAnEmptyLink) {
    ::setenv("MODLINK_PORTS", "", 1);
    ::setenv("MODLINK_USB", "0", 1);
    EXPECT_EQ(InitModules(), 0);
    int count = -1;
    EXPECT_EQ(GetActiveDeviceCount(&count), 0);
    EXPECT_EQ(count, 0);
    CloseModules();
    ::setenv("MODLINK_PORTS", "/nonexistent/ttyUSB9", 1);
    EXPECT_NE(InitModules(), 0);
}

TEST(ModlinkPorts, UsbModemIsFoundAndItsAtPortPicked) {
    SimProcess sim(1);
    ASSERT_TRUE(sim.ok());
    // The modem's first interface is silent (a diagnostics port), the
    // second one speaks AT.
    test::WatchedPort silent;
    ASSERT_FALSE(silent.path().empty());
    fs::path root = fs::temp_directory_path() / ("modlink-usb-" + std::to_string(::getpid()));
    fs::remove_all(root);
    test::addUsbPort(root / "sys", "1-4", 0x1a7c, 0x3d41, 0, "ttyUSB0", root / "dev",
                     silent.path());
    test::addUsbPort(root / "sys", "1-4", 0x1a7c, 0x3d41, 1, "ttyUSB1", root / "dev",
                     sim.ports()[0]);
    ::setenv("MODLINK_SYSFS_ROOT", (root / "sys").c_str(), 1);
    ::setenv("MODLINK_DEV_DIR", (root / "dev").c_str(), 1);
    ::setenv("MODLINK_USB", "1", 1);
    ::setenv("MODLINK_PORTS", "", 1);
    expectOneDeviceAnswering(sim, 9);
    ::setenv("MODLINK_USB", "0", 1);
    ::unsetenv("MODLINK_SYSFS_ROOT");
    ::unsetenv("MODLINK_DEV_DIR");
    fs::remove_all(root);
}

// A modem of the USB bus is taken from ModemManager before its port is
// opened; when ModemManager refuses, the port is never written to and the
// library says why. The hold helper is replaced by a script giving its answer.
TEST(ModlinkPorts, ModemManagerRefusalKeepsThePortUntouched) {
    test::WatchedPort port;
    ASSERT_FALSE(port.path().empty());
    fs::path root = fs::temp_directory_path() / ("modlink-mm-" + std::to_string(::getpid()));
    fs::remove_all(root);
    test::addUsbPort(root / "sys", "1-5", 0x1a7c, 0x3d41, 0, "ttyUSB0", root / "dev", port.path());
    ::setenv("MODLINK_SYSFS_ROOT", (root / "sys").c_str(), 1);
    ::setenv("MODLINK_DEV_DIR", (root / "dev").c_str(), 1);
    ::setenv("MODLINK_USB", "1", 1);
    ::setenv("MODLINK_PORTS", "", 1);
    const fs::path helper = root / "hold";
    ::setenv("ZUNTO_MODEM_HOLD", helper.c_str(), 1);
    struct Row {
        const char* answer;
        int refusals;
        bool written;
    };
    for (const Row& row :
         {Row{"refused org.freedesktop.ModemManager1.Error.Core.Unauthorized", 1, false},
          Row{"held", 0, true}}) {
        SCOPED_TRACE(row.answer);
        std::ofstream(helper) << "#!/bin/sh\necho '" << row.answer << "'\n";
        fs::permissions(helper, fs::perms::owner_all);
        // The pty answers nothing: a port that was opened fails its probe.
        EXPECT_NE(InitModules(), 0);
        EXPECT_EQ(GetManagerRefusals(), row.refusals);
        EXPECT_EQ(!port.received().empty(), row.written);
        CloseModules();
    }
    for (const char* v : {"MODLINK_SYSFS_ROOT", "MODLINK_DEV_DIR", "ZUNTO_MODEM_HOLD"})
        ::unsetenv(v);
    ::setenv("MODLINK_USB", "0", 1);
    fs::remove_all(root);
}

namespace {
std::atomic<bool> g_closedInCallback{false};
int MODLINK_CALL closeOnSignal(unsigned event, const char*, void*, int) {
    if (event == MODLINK_EV_SIGNAL && !g_closedInCallback) {
        CloseModules();
        g_closedInCallback = true;
    }
    return 0;
}
}  // namespace

TEST_F(ModlinkFixture, CloseFromInsideTheCallbackIsSafe) {
    RegistCallbackFunction(&closeOnSignal, nullptr);
    ASSERT_GE(GetSignal(1), 0);
    EXPECT_TRUE(EventRecorder::waitUntil([] { return g_closedInCallback.load(); }));
    EXPECT_EQ(GetSignal(2), -1);
    ASSERT_EQ(InitModules(), 0);
    RegistCallbackFunction(&EventRecorder::callback, &events);
    GetSignal(1);
    EXPECT_TRUE(events.take(MODLINK_EV_SIGNAL, 1).has_value());
}

TEST(ModlinkPorts, TcpPortsOfTheSimulator) {
    SimProcess sim(2, {"--tcp"});
    ASSERT_TRUE(sim.ok());
    EXPECT_EQ(sim.ports()[0].rfind("tcp:127.0.0.1:", 0), 0u);
    ::setenv("MODLINK_PORTS", sim.portList().c_str(), 1);
    ::setenv("MODLINK_USB", "0", 1);
    EventRecorder events;
    ASSERT_EQ(InitModules(), 0);
    RegistCallbackFunction(&EventRecorder::callback, &events);
    EXPECT_EQ(sim.control("signal 2 30"), "OK");
    GetSignal(2);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SIGNAL, 2)), "30");
    EXPECT_EQ(sim.control("unplug 1"), "OK");
    EXPECT_TRUE(events.take(MODLINK_EV_UNPLUGGED, 1).has_value());
    CloseModules();
    RegistCallbackFunction(nullptr, nullptr);
}
