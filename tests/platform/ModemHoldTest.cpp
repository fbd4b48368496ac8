// SPDX-License-Identifier: GPL-3.0-or-later
// The hold helper against a ModemManager mock (python3-dbusmock) on a
// private system bus of the test's own.
#include <gtest/gtest.h>
#include <systemd/sd-bus.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include "platform/ModemHold.h"
#include "support/ChildProcess.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using platform::ModemHoldResult;
using Kind = ModemHoldResult::Kind;

constexpr const char* kMM = "org.freedesktop.ModemManager1";
constexpr const char* kMMPath = "/org/freedesktop/ModemManager1";
constexpr const char* kMock = "org.freedesktop.DBus.Mock";
constexpr const char* kUid = "/sys/devices/pci0000:00/usb1/1-2";
const std::string kOn = std::string(kUid) + " true", kOff = std::string(kUid) + " false";

// MM 1.20's answers: a second inhibition of one device is refused.
constexpr const char* kInhibitLikeMM =
    "inh = self.__dict__.setdefault('inhibited', set())\n"
    "if args[1]:\n"
    "    if args[0] in inh:\n"
    "        raise dbus.exceptions.DBusException('Device already inhibited',\n"
    "            name='org.freedesktop.ModemManager1.Error.Core.InProgress')\n"
    "    inh.add(args[0])\n"
    "else:\n"
    "    inh.discard(args[0])\n";

class ModemManagerHold : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/mmhold-XXXXXX";
        m_dir = ::mkdtemp(tmpl);
        // A modem with two serial interfaces, its AT port ttyUSB2.
        m_usb = m_dir / "sys/devices/pci0000:00/usb1/1-2";
        fs::create_directories(m_usb / "1-2:1.0/ttyUSB0");
        fs::create_directories(m_usb / "1-2:1.2/ttyUSB2");
        std::ofstream(m_usb / "idVendor") << "12d1\n";
        std::ofstream(m_usb / "idProduct") << "1506\n";
        std::ofstream(m_usb / "uevent") << "DEVTYPE=usb_device\n";
        fs::create_directories(m_dir / "sys/class/tty/ttyUSB2");
        fs::create_directory_symlink("../../../devices/pci0000:00/usb1/1-2/1-2:1.2",
                                     m_dir / "sys/class/tty/ttyUSB2/device");
        fs::create_directories(m_dir / "lock");
        ::setenv("MODLINK_LOCK_DIR", (m_dir / "lock").c_str(), 1);
        ::setenv("ZUNTO_MODEM_HOLD", ZUNTO_BIN_DIR "/zunto-modem-hold", 1);
        ::setenv("ZUNTO_HOLD_WAIT_MS", "3000", 1);
        ::setenv("ZUNTO_HOLD_POLL_MS", "100", 1);
        ::setenv("ZUNTO_HOLD_GRACE_MS", "500", 1);

        std::ofstream(m_dir / "bus.conf")
            << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration "
               "1.0//EN\"\n"
               " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
               "<busconfig><type>system</type><listen>unix:path="
            << (m_dir / "bus").string()
            << "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
               "<allow user=\"*\"/><allow own=\"*\"/><allow send_destination=\"*\"/>"
               "<allow receive_sender=\"*\"/></policy></busconfig>\n";
        ASSERT_TRUE(m_daemon.start({"/usr/bin/dbus-daemon", "--nofork", "--print-address=1",
                                    "--config-file=" + (m_dir / "bus.conf").string()}));
        std::string address;
        ASSERT_TRUE(m_daemon.readLine(address, 5s));
        ::setenv("DBUS_SYSTEM_BUS_ADDRESS", address.c_str(), 1);
        ASSERT_GE(sd_bus_new(&m_bus), 0);
        sd_bus_set_address(m_bus, address.c_str());
        sd_bus_set_bus_client(m_bus, 1);
        ASSERT_GE(sd_bus_start(m_bus), 0);
        m_request = platform::modemHoldRequestFor("/dev/ttyUSB2", (m_dir / "sys").string());
    }

    void TearDown() override {
        sd_bus_flush_close_unref(m_bus);
        m_mock.stop(SIGTERM);
        m_daemon.stop(SIGTERM);
        std::error_code ec;
        fs::remove_all(m_dir, ec);
        for (const char* v :
             {"MODLINK_LOCK_DIR", "ZUNTO_MODEM_HOLD", "ZUNTO_HOLD_WAIT_MS", "ZUNTO_HOLD_POLL_MS",
              "ZUNTO_HOLD_GRACE_MS", "DBUS_SYSTEM_BUS_ADDRESS"})
            ::unsetenv(v);
    }

    // ModemManager's name, its object manager and a plain InhibitDevice.
    void startManager() {
        ASSERT_TRUE(m_mock.start(
            {"/usr/bin/python3", "-m", "dbusmock", "--system", "-m", kMM, kMMPath, kMM}));
        for (int i = 0; i < 100 && !nameOwned(); ++i) std::this_thread::sleep_for(50ms);
        ASSERT_TRUE(nameOwned());
        addMethod("InhibitDevice", kInhibitLikeMM);
    }

    bool nameOwned() {
        sd_bus_message* reply = nullptr;
        int has = 0;
        if (sd_bus_call_method(m_bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                               "org.freedesktop.DBus", "NameHasOwner", nullptr, &reply, "s",
                               kMM) >= 0)
            sd_bus_message_read(reply, "b", &has);
        sd_bus_message_unref(reply);
        return has != 0;
    }

    void addMethod(const char* name, const std::string& code) {
        ASSERT_GE(sd_bus_call_method(m_bus, kMM, kMMPath, kMock, "AddMethod", nullptr, nullptr,
                                     "sssss", kMM, name, "sb", "", code.c_str()),
                  0);
    }

    // The modem ModemManager exports once it has probed the device.
    void addModem(const char* uid = kUid) {
        sd_bus_error err = SD_BUS_ERROR_NULL;
        int r = sd_bus_call_method(m_bus, kMM, kMMPath, kMock, "AddObject", &err, nullptr,
                                   "ssa{sv}a(ssss)", "/org/freedesktop/ModemManager1/Modem/0",
                                   "org.freedesktop.ModemManager1.Modem", 1, "Device", "s", uid, 0);
        EXPECT_GE(r, 0) << (err.message ? err.message : "");
        sd_bus_error_free(&err);
    }

    // How often the mock was called so (GetCalls); args as "uid true".
    int countCalls(const std::string& method, const std::string& args = "*") {
        sd_bus_message* m = nullptr;
        int n = 0;
        if (sd_bus_call_method(m_bus, kMM, kMMPath, kMock, "GetCalls", nullptr, &m, "") < 0)
            return -1;
        sd_bus_message_enter_container(m, 'a', "(tsav)");
        while (sd_bus_message_enter_container(m, 'r', "tsav") > 0) {
            uint64_t t = 0;
            const char* name = "";
            sd_bus_message_read(m, "ts", &t, &name);
            std::string got;
            const char* type = nullptr;
            sd_bus_message_enter_container(m, 'a', "v");
            while (sd_bus_message_peek_type(m, nullptr, &type) > 0) {
                const char* text = "";
                int flag = 0;
                if (std::string(type) == "s" && sd_bus_message_read(m, "v", "s", &text) > 0)
                    got += text;
                else if (std::string(type) == "b" && sd_bus_message_read(m, "v", "b", &flag) > 0)
                    got += flag ? " true" : " false";
                else
                    sd_bus_message_skip(m, "v");
            }
            sd_bus_message_exit_container(m);
            sd_bus_message_exit_container(m);
            n += method == name && (args == "*" || args == got);
        }
        sd_bus_message_unref(m);
        return n;
    }

    bool eventually(const std::function<bool()>& cond, std::chrono::milliseconds limit = 5s) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            if (cond()) return true;
            std::this_thread::sleep_for(50ms);
        }
        return cond();
    }

    // A UUCP lock file as modlink and pppd write it.
    void lockPort(const std::string& tty, long pid) {
        char text[16];
        std::snprintf(text, sizeof text, "%10ld\n", pid);
        std::ofstream(m_dir / "lock" / ("LCK.." + tty)) << text;
    }
    void unlockPort(const std::string& tty) { fs::remove(m_dir / "lock" / ("LCK.." + tty)); }

    ModemHoldResult hold() { return platform::holdModemFromManager(m_request); }

    fs::path m_dir, m_usb;
    support::ChildProcess m_daemon, m_mock;
    sd_bus* m_bus = nullptr;
    platform::ModemHoldRequest m_request;
};

TEST_F(ModemManagerHold, InhibitsOnlyOnceModemManagerHasTheModem) {
    startManager();
    lockPort("ttyUSB2", ::getpid());
    // Both programs at once (Wanmate's dial on insertion and Msgdesk): the
    // second waits for the first one's helper rather than asking itself.
    auto first = std::async(std::launch::async, [this] { return hold(); });
    auto second = std::async(std::launch::async, [this] { return hold(); });
    // Still probing: asked for its modems, not yet for the device.
    ASSERT_TRUE(eventually([&] { return countCalls("GetManagedObjects") >= 2; }));
    EXPECT_EQ(first.wait_for(0ms), std::future_status::timeout);
    EXPECT_EQ(second.wait_for(0ms), std::future_status::timeout);
    EXPECT_EQ(countCalls("InhibitDevice"), 0);
    addModem();
    for (auto* pending : {&first, &second}) {
        ASSERT_EQ(pending->wait_for(5s), std::future_status::ready);
        auto r = pending->get();
        EXPECT_EQ(r.kind, Kind::Held) << r.describe();
    }
    EXPECT_EQ(countCalls("InhibitDevice", kOn), 1);
    unlockPort("ttyUSB2");
    EXPECT_TRUE(eventually([&] { return countCalls("InhibitDevice", kOff) == 1; }));
}

TEST_F(ModemManagerHold, OneInhibitionServesEveryProgramUntilTheLastLockGoes) {
    startManager();
    addModem();
    lockPort("ttyUSB2", ::getpid());
    auto first = hold();
    EXPECT_EQ(first.kind, Kind::Held) << first.describe();
    // The second program finds our helper: ModemManager's "already
    // inhibited" is never heard, and is no refusal.
    auto second = hold();
    EXPECT_EQ(second.kind, Kind::Held) << second.describe();
    EXPECT_EQ(countCalls("InhibitDevice"), 1);

    // pppd on the data port, then the message program leaves its port.
    support::ChildProcess pppd;
    ASSERT_TRUE(pppd.start({"/bin/sleep", "30"}));
    lockPort("ttyUSB0", pppd.pid());
    unlockPort("ttyUSB2");
    std::this_thread::sleep_for(1200ms);  // beyond grace and poll
    EXPECT_EQ(countCalls("InhibitDevice", kOff), 0);
    // pppd dies without removing its lock file: a dead pid holds nothing.
    pppd.stop(SIGKILL);
    EXPECT_TRUE(eventually([&] { return countCalls("InhibitDevice", kOff) == 1; }));

    // Held again afterwards, by a new helper.
    lockPort("ttyUSB2", ::getpid());
    EXPECT_EQ(hold().kind, Kind::Held);
    EXPECT_EQ(countCalls("InhibitDevice", kOn), 2);
}

TEST_F(ModemManagerHold, RestartedModemManagerIsInhibitedAgain) {
    startManager();
    addModem();
    lockPort("ttyUSB2", ::getpid());
    ASSERT_EQ(hold().kind, Kind::Held);
    m_mock.stop(SIGTERM);
    ASSERT_TRUE(eventually([&] { return !nameOwned(); }));
    startManager();
    std::this_thread::sleep_for(600ms);
    // It waits for the new instance's modem before inhibiting.
    EXPECT_EQ(countCalls("InhibitDevice"), 0);
    addModem();
    EXPECT_TRUE(eventually([&] { return countCalls("InhibitDevice", kOn) == 1; }));
}

TEST_F(ModemManagerHold, RefusalsAreReportedAndLeaveNoHolder) {
    struct Row {
        const char* what;
        const char* code;
        Kind kind;
        const char* reason;
    };
    const Row rows[] = {
        {"polkit says no",
         "raise dbus.exceptions.DBusException('Not authorized to control the device',"
         " name='org.freedesktop.ModemManager1.Error.Core.Unauthorized')",
         Kind::Refused, "Unauthorized"},
        {"someone else holds it",
         "raise dbus.exceptions.DBusException('Device already inhibited',"
         " name='org.freedesktop.ModemManager1.Error.Core.InProgress')",
         Kind::Refused, "already inhibited"},
        {"never its modem",
         "raise dbus.exceptions.DBusException('No device found with uid',"
         " name='org.freedesktop.ModemManager1.Error.Core.NotFound')",
         Kind::Unmanaged, "No device found"},
        {"granted", kInhibitLikeMM, Kind::Held, ""},
    };
    startManager();
    lockPort("ttyUSB2", ::getpid());
    ::setenv("ZUNTO_HOLD_WAIT_MS", "1000", 1);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        // Refused at once, not after the wait, when the modem is known;
        // "never its modem" is asked once the wait is over.
        if (std::string(row.what) != "never its modem") addModem();
        addMethod("InhibitDevice", row.code);
        auto r = hold();
        EXPECT_EQ(r.kind, row.kind) << r.describe();
        EXPECT_NE(r.reason.find(row.reason), std::string::npos) << r.reason;
        EXPECT_EQ(r.mayOpen(), row.kind != Kind::Refused);
        sd_bus_call_method(m_bus, kMM, kMMPath, kMock, "RemoveObject", nullptr, nullptr, "s",
                           "/org/freedesktop/ModemManager1/Modem/0");
    }
    // Each refusal ended its helper, so each row asked ModemManager anew
    // (the foreign holder's answer is tried again before it counts).
    EXPECT_GE(countCalls("InhibitDevice", kOn), 4);
}

TEST_F(ModemManagerHold, NothingToTakeWithoutModemManagerOrForAnIgnoredDevice) {
    // The device as ModemManager names it, below the test's sysfs root.
    EXPECT_EQ(m_request.uid, kUid);
    EXPECT_EQ(fs::path(m_request.usbDevice), m_usb);
    // A port of no USB device (a pty, a named port) has nothing to take.
    auto none = platform::modemHoldRequestFor("/dev/pts/3", (m_dir / "sys").string());
    EXPECT_TRUE(none.usbDevice.empty());
    EXPECT_EQ(platform::holdModemFromManager(none).kind, Kind::Ignored);
    EXPECT_EQ(hold().kind, Kind::NotRunning);
    startManager();
    addModem();
    std::ofstream(m_usb / "uevent") << "DEVTYPE=usb_device\nID_MM_DEVICE_IGNORE=1\n";
    EXPECT_EQ(hold().kind, Kind::Ignored);
    EXPECT_EQ(countCalls("GetManagedObjects"), 0);
    EXPECT_EQ(countCalls("InhibitDevice"), 0);
    // Without the helper installed the port is used as before, and says so.
    ::setenv("ZUNTO_MODEM_HOLD", (m_dir / "missing").c_str(), 1);
    auto r = hold();
    EXPECT_EQ(r.kind, Kind::Failed);
    EXPECT_TRUE(r.mayOpen());
}

}  // namespace
