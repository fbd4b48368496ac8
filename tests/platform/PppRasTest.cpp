// SPDX-License-Identifier: GPL-3.0-or-later
// The dial-up service on pppd, run against a stand-in pppd that replays
// captured sessions (this kernel has no PPP), on pseudo-terminals.
#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/InstanceLock.h"
#include "platform/RunDir.h"
#include "platform/SysfsUsbHost.h"
#include "platform/ras/PortLock.h"
#include "platform/ras/PppRas.h"
#include "support/Zuntosim.h"

using namespace platform::ras;
namespace fs = std::filesystem;
using Notice = PppProgress::Notice;

namespace {

std::string slurp(const fs::path& p) {
    std::ifstream in(p);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class Pty {
public:
    Pty() {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        grantpt(m_master);
        unlockpt(m_master);
        m_path = ptsname(m_master);
    }
    ~Pty() { close(m_master); }
    const std::string& path() const { return m_path; }

private:
    int m_master;
    std::string m_path;
};

// Collects notifications from the service's thread.
class Notices {
public:
    RasDialFunc func() {
        return [this](unsigned, RASCONNSTATE s, DWORD e) {
            std::lock_guard lk(m_mutex);
            m_list.push_back({s, e});
            m_cv.notify_all();
        };
    }
    // Waits until a notice with this state (or any error) has arrived.
    std::vector<Notice> waitFor(RASCONNSTATE state, int ms = 5000) {
        std::unique_lock lk(m_mutex);
        m_cv.wait_for(lk, std::chrono::milliseconds(ms), [&] {
            for (auto& n : m_list)
                if (n.state == state || n.error) return true;
            return false;
        });
        return m_list;
    }
    std::vector<Notice> list() {
        std::lock_guard lk(m_mutex);
        return m_list;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::vector<Notice> m_list;
};

class PppRasTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/pppras-test-XXXXXX";
        m_dir = mkdtemp(tmpl);
        fs::create_directories(m_dir / "locks");
        fs::create_directories(m_dir / "sys" / "bus" / "usb" / "devices");
        setenv("MODLINK_LOCK_DIR", (m_dir / "locks").c_str(), 1);
        setenv("FAKE_PPPD_ARGS", (m_dir / "args").c_str(), 1);
        unsetenv("FAKE_PPPD_IGNORE_TERM");
        useLog("connected.log");
        m_config.pppd = std::string(ZUNTO_TEST_DATA) + "/wanmate/ppp/fake-pppd.sh";
        m_config.chat = "/usr/sbin/chat";
        m_config.runDir = m_dir / "run";
        m_config.pidDir = m_dir / "pid";
        m_config.sysRoot = m_dir / "sys";
        m_config.extraPorts = {m_pty.path(), m_pty2.path()};
        m_config.pollMs = 10;
        m_config.killAfterMs = 3000;
    }
    void TearDown() override {
        m_ras.reset();
        unsetenv("MODLINK_LOCK_DIR");
        fs::remove_all(m_dir);
    }
    void useLog(const char* name) {
        setenv("FAKE_PPPD_LOG", (std::string(ZUNTO_TEST_DATA) + "/wanmate/ppp/" + name).c_str(), 1);
    }
    PppRas& ras() {
        if (!m_ras) {
            m_usb = std::make_unique<platform::usb::SysfsUsbHost>(m_dir / "sys");
            m_ras = std::make_unique<PppRas>(
                m_config, *m_usb, RasPhonebook(m_dir / "book.ini"),
                [](const std::string&) { return "AT+CGDCONT=1,\"IP\",\"CMNET\""; });
        }
        return *m_ras;
    }
    void writeEntry(const std::string& name, const std::string& port, DWORD options = 0x310) {
        RASENTRYA e;
        e.dwSize = kRasEntrySize;
        e.dwfOptions = options;
        e.szLocalPhoneNumber = "*99#";
        e.ipaddrDns = {10, 0, 0, 1};
        e.szDeviceType = "modem";
        e.szDeviceName = PppRas::deviceOfPort(port);
        ASSERT_EQ(ras().RasSetEntryPropertiesA(name, e), 0u);
    }

    fs::path m_dir;
    Pty m_pty, m_pty2;
    PppConfig m_config;
    std::unique_ptr<platform::usb::SysfsUsbHost> m_usb;
    std::unique_ptr<PppRas> m_ras;
};

bool gone(pid_t pid, int ms) {
    for (int i = 0; i < ms / 10; ++i) {
        if (kill(pid, 0) != 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return kill(pid, 0) != 0;
}

}  // namespace

TEST_F(PppRasTest, DevicesAreTheModemsPortsThenTheConfiguredOnes) {
    auto dev = m_dir / "sys" / "bus" / "usb" / "devices";
    fs::create_directories(dev / "usb1");
    std::ofstream(dev / "usb1" / "maxchild") << "2\n";
    fs::create_directories(dev / "1-1" / "1-1:1.0" / "ttyUSB0");
    std::ofstream(dev / "1-1" / "idVendor") << "1a7c\n";
    std::ofstream(dev / "1-1" / "idProduct") << "3d41\n";
    m_config.extraPorts = {"/tmp/zs/modem1", "/dev/pts/3"};
    std::vector<RASDEVINFOA> d;
    ASSERT_EQ(ras().RasEnumDevicesA(d), 0u);
    ASSERT_EQ(d.size(), 3u);
    EXPECT_EQ(d[0].szDeviceName, "Kelvo Zunto Modem (ttyUSB0)");
    EXPECT_EQ(d[1].szDeviceName, "Kelvo Zunto Modem (/tmp/zs/modem1)");
    EXPECT_EQ(d[2].szDeviceName, "Kelvo Zunto Modem (pts/3)");
    EXPECT_EQ(d[0].szDeviceType, "modem");
    EXPECT_EQ(PppRas::portOfDevice(d[0].szDeviceName), "/dev/ttyUSB0");
    EXPECT_EQ(PppRas::portOfDevice(d[1].szDeviceName), "/tmp/zs/modem1");
    EXPECT_EQ(PppRas::portOfDevice("Other Modem (ttyS0)"), "");
    EXPECT_EQ(PppRas::portOfDevice("Kelvo Zunto Modem ()"), "");
}

TEST_F(PppRasTest, PhonebookKeepsEveryFieldAndRefusesWhatItCannotHold) {
    writeEntry("KelvoZunto", "/dev/ttyUSB0", 0x314);
    RASENTRYA e;
    ASSERT_EQ(ras().RasGetEntryPropertiesA("KelvoZunto", e), 0u);
    EXPECT_EQ(e.dwfOptions, 0x314u);
    EXPECT_EQ(e.ipaddrDns, (RASIPADDR{10, 0, 0, 1}));
    EXPECT_EQ(e.szDeviceName, "Kelvo Zunto Modem (ttyUSB0)");
    RASENTRYA bad = e;
    bad.dwSize = kRasEntrySize - 1;
    EXPECT_EQ(ras().RasSetEntryPropertiesA("X", bad), ERROR_INVALID_SIZE);
    bad = e;
    bad.szLocalPhoneNumber = "*99#\n[Other]";
    EXPECT_EQ(ras().RasSetEntryPropertiesA("X", bad), ERROR_CANNOT_WRITE_PHONEBOOK);
    EXPECT_EQ(ras().RasSetEntryPropertiesA("Bad]Name", e), ERROR_CANNOT_WRITE_PHONEBOOK);
    EXPECT_EQ(ras().RasDeleteEntryA("KelvoZunto"), 0u);
    EXPECT_EQ(ras().RasDeleteEntryA("KelvoZunto"), ERROR_CANNOT_FIND_PHONEBOOK_ENTRY);
    // A damaged file is kept aside, not overwritten.
    std::ofstream(m_dir / "book.ini") << "[KelvoZunto]\nOptions=banana\n";
    EXPECT_EQ(ras().RasGetEntryPropertiesA("KelvoZunto", e), ERROR_CANNOT_FIND_PHONEBOOK_ENTRY);
    EXPECT_NE(slurp(m_dir / "book.ini.corrupt").find("banana"), std::string::npos);
}

TEST_F(PppRasTest, DialRunsPppdWithTheChatScriptReportsEveryStateAndHangsUp) {
    writeEntry("KelvoZunto", m_pty.path(), 0x314);
    Notices n;
    HRASCONN h = 0;
    ASSERT_EQ(ras().RasDialA("KelvoZunto", n.func(), &h), 0u);
    ASSERT_NE(h, 0u);
    auto got = n.waitFor(RASCS_Connected);
    EXPECT_EQ(got, (std::vector<Notice>{{RASCS_OpenPort, 0},
                                        {RASCS_ConnectDevice, 0},
                                        {RASCS_DeviceConnected, 0},
                                        {RASCS_Authenticate, 0},
                                        {RASCS_Projected, 0},
                                        {RASCS_Connected, 0}}));
    // Always pppd's own port lock and the link's name (the hooks and the
    // pid file go by it); the connect step's paths quoted for the shell;
    // the given name server for the ip-up hook, and not the peer's.
    const fs::path script = m_dir / "run" / ("chat-" + std::to_string(getpid()) + "-1");
    EXPECT_EQ(slurp(m_dir / "args"),
              m_pty.path() +
                  "\n115200\nnodetach\nlogfd\n2\ndebug\nnoipv6\nnoauth\ndefaultroute\nlock\n"
                  "linkname\nwanmate\nconnect\nexec '/usr/sbin/chat' -v -s -S -f '" +
                  script.string() + "'\nipparam\n10.0.0.1\n");
    EXPECT_NE(slurp(script).find("'' AT\nOK 'AT+CGDCONT=1,\"IP\",\"CMNET\"'\nOK 'ATD*99#'\n"),
              std::string::npos)
        << slurp(script);
    auto info = ras().linkInfo();
    ASSERT_TRUE(info);
    EXPECT_EQ(info->port, m_pty.path());
    EXPECT_EQ(info->ifname, "ppp0");
    EXPECT_EQ(info->localIp, "10.64.64.2");
    EXPECT_EQ(info->dns, "10.0.0.1");
    RASCONNSTATUSA st;
    ASSERT_EQ(ras().RasGetConnectStatusA(h, st), 0u);
    EXPECT_EQ(st.rasconnstate, RASCS_Connected);
    std::vector<RASCONNA> conns;
    size_t needed = 0;
    EXPECT_EQ(ras().RasEnumConnectionsA(1, conns, &needed), 0u);
    ASSERT_EQ(conns.size(), 1u);
    EXPECT_EQ(conns[0].hrasconn, h);
    ASSERT_EQ(ras().RasHangUpA(h), 0u);
    // The dial's files go with it.
    for (int i = 0; i < 300 && fs::exists(script); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(fs::exists(script));
    EXPECT_FALSE(
        fs::exists(ras().config().runDir / ("session-" + std::to_string(getpid()) + "-1.log")));
    EXPECT_EQ(n.list().size(), 6u);  // nothing after the hang-up
    EXPECT_EQ(ras().RasEnumConnectionsA(1, conns, &needed), 0u);
    EXPECT_EQ(needed, 0u);
    EXPECT_EQ(ras().RasHangUpA(h), 6u);  // the handle is gone
}

TEST_F(PppRasTest, AFailedDialReportsTheModemsAnswer) {
    useLog("nocarrier.log");
    writeEntry("KelvoZunto", m_pty.path());
    Notices n;
    HRASCONN h = 0;
    ASSERT_EQ(ras().RasDialA("KelvoZunto", n.func(), &h), 0u);
    auto got = n.waitFor(RASCS_Connected);
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got.back(), (Notice{RASCS_ConnectDevice, ERROR_NO_CARRIER}));
    EXPECT_FALSE(fs::exists(m_dir / "run" / "resolv.conf"));  // 0x310: none given
    ras().RasHangUpA(h);
}

TEST_F(PppRasTest, APortInUseGives692AndPppdIsNotStarted) {
    writeEntry("KelvoZunto", m_pty.path());
    auto dial = [&] {
        fs::remove(m_dir / "args");
        Notices n;
        HRASCONN h = 0;
        EXPECT_EQ(ras().RasDialA("KelvoZunto", n.func(), &h), 0u);
        auto got = n.waitFor(RASCS_Connected);
        ras().RasHangUpA(h);
        return got;
    };
    const std::vector<Notice> refused = {{RASCS_OpenPort, 0},
                                         {RASCS_OpenPort, ERROR_PORT_OR_DEVICE}};
    // Held with flock, as the SMS centre holds its ports.
    int fd = open(m_pty.path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(dial(), refused);
    EXPECT_FALSE(fs::exists(m_dir / "args"));
    close(fd);
    // A UUCP lock file of a live process.
    fs::path lck = m_dir / "locks" / ("LCK.." + fs::path(m_pty.path()).filename().string());
    std::ofstream(lck) << "      " << getpid() << "\n";
    EXPECT_EQ(dial(), refused);
    // A stale one (its process has ended) does not hold the port.
    pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    std::ofstream(lck, std::ios::trunc) << "      " << child << "\n";
    EXPECT_EQ(dial().back(), (Notice{RASCS_Connected, 0}));
    EXPECT_TRUE(fs::exists(m_dir / "args"));
}

// The port of a USB modem is taken from ModemManager before pppd starts;
// a refusal ends the dial with its own error and pppd never runs. The hold
// helper is replaced by a script giving its answer.
TEST_F(PppRasTest, ModemManagerRefusalEndsTheDialBeforePppd) {
    const std::string tty = fs::path(m_pty.path()).filename().string();
    const fs::path usb = m_dir / "sys/devices/pci0000:00/usb1/1-3";
    fs::create_directories(usb / "1-3:1.0");
    std::ofstream(usb / "idVendor") << "12d1\n";
    fs::create_directories(m_dir / "sys/class/tty" / tty);
    fs::create_directory_symlink(usb / "1-3:1.0", m_dir / "sys/class/tty" / tty / "device");
    const fs::path helper = m_dir / "hold";
    setenv("ZUNTO_MODEM_HOLD", helper.c_str(), 1);
    writeEntry("KelvoZunto", m_pty.path());
    for (const char* answer :
         {"refused org.freedesktop.ModemManager1.Error.Core.Unauthorized", "held"}) {
        SCOPED_TRACE(answer);
        std::ofstream(helper) << "#!/bin/sh\necho '" << answer << "'\n";
        fs::permissions(helper, fs::perms::owner_all);
        fs::remove(m_dir / "args");
        Notices n;
        HRASCONN h = 0;
        ASSERT_EQ(ras().RasDialA("KelvoZunto", n.func(), &h), 0u);
        auto got = n.waitFor(RASCS_Connected);
        ras().RasHangUpA(h);
        if (std::string(answer) == "held") {
            EXPECT_EQ(got.back(), (Notice{RASCS_Connected, 0}));
            EXPECT_TRUE(fs::exists(m_dir / "args"));
        } else {
            EXPECT_EQ(got, (std::vector<Notice>{{RASCS_OpenPort, 0},
                                                {RASCS_OpenPort, ERROR_MODEM_MANAGER_REFUSED}}));
            EXPECT_FALSE(fs::exists(m_dir / "args"));
        }
    }
    unsetenv("ZUNTO_MODEM_HOLD");
}

TEST_F(PppRasTest, APppdThatIgnoresSigtermIsKilled) {
    setenv("FAKE_PPPD_IGNORE_TERM", "1", 1);
    setenv("FAKE_PPPD_PID", (m_dir / "pid.txt").c_str(), 1);
    m_config.killAfterMs = 300;
    writeEntry("KelvoZunto", m_pty.path());
    Notices n;
    HRASCONN h = 0;
    ASSERT_EQ(ras().RasDialA("KelvoZunto", n.func(), &h), 0u);
    n.waitFor(RASCS_Connected);
    RASCONNSTATUSA st;
    ASSERT_EQ(ras().RasGetConnectStatusA(h, st), 0u);
    ASSERT_EQ(st.rasconnstate, RASCS_Connected);
    std::string pidText = slurp(m_dir / "pid.txt");
    ASSERT_FALSE(pidText.empty());
    pid_t pid = std::stoi(pidText);
    auto start = std::chrono::steady_clock::now();
    ras().RasHangUpA(h);
    EXPECT_FALSE(gone(pid, 150));  // SIGTERM alone does not end it
    EXPECT_TRUE(gone(pid, 3000));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
}

TEST_F(PppRasTest, TwoLinksDoNotFitARoomForOne) {
    writeEntry("A", m_pty.path());
    writeEntry("B", m_pty2.path());
    Notices a, b;
    HRASCONN ha = 0, hb = 0;
    ASSERT_EQ(ras().RasDialA("A", a.func(), &ha), 0u);
    ASSERT_EQ(ras().RasDialA("B", b.func(), &hb), 0u);
    a.waitFor(RASCS_Connected);
    b.waitFor(RASCS_Connected);
    std::vector<RASCONNA> conns;
    size_t needed = 0;
    EXPECT_EQ(ras().RasEnumConnectionsA(1, conns, &needed), ERROR_BUFFER_TOO_SMALL);
    EXPECT_EQ(needed, 2u);
    EXPECT_EQ(ras().RasEnumConnectionsA(2, conns, &needed), 0u);
    EXPECT_EQ(conns.size(), 2u);
    ras().RasHangUpA(ha);
    ras().RasHangUpA(hb);
}

// The SMS centre's device library holding the simulated modem: the dial
// must not start pppd on the same port.
TEST_F(PppRasTest, WithTheDeviceLibraryOnThePortADialGives692) {
    const std::string lib = ZUNTO_BIN_DIR "/libmodlink.so", sim = ZUNTO_BIN_DIR "/zuntosim";
    if (!fs::exists(lib) || !fs::exists(sim)) GTEST_SKIP() << "libmodlink.so or zuntosim not built";
    // Ended by its destructor, also when an assertion below fails.
    support::ChildProcess simProc;
    ASSERT_EQ(support::startZuntosim(simProc,
                                     {sim, "--devices", "1", "--link", (m_dir / "zs").string()}, 1)
                  .size(),
              1u);
    ASSERT_TRUE(fs::exists(m_dir / "zs1"));
    setenv("MODLINK_PORTS", (m_dir / "zs1").c_str(), 1);
    setenv("MODLINK_USB", "0", 1);
    void* h = dlopen(lib.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_TRUE(h) << dlerror();
    auto init = reinterpret_cast<int (*)()>(dlsym(h, "InitModules"));
    auto count = reinterpret_cast<int (*)(int*)>(dlsym(h, "GetActiveDeviceCount"));
    auto closeAll = reinterpret_cast<int (*)()>(dlsym(h, "CloseModules"));
    ASSERT_TRUE(init && count && closeAll);
    init();
    int devices = 0;
    count(&devices);
    EXPECT_EQ(devices, 1);
    writeEntry("KelvoZunto", (m_dir / "zs1").string());
    Notices n;
    HRASCONN hc = 0;
    ASSERT_EQ(ras().RasDialA("KelvoZunto", n.func(), &hc), 0u);
    EXPECT_EQ(n.waitFor(RASCS_Connected).back(), (Notice{RASCS_OpenPort, ERROR_PORT_OR_DEVICE}));
    EXPECT_FALSE(fs::exists(m_dir / "args"));  // pppd never ran
    ras().RasHangUpA(hc);
    closeAll();
    dlclose(h);
    unsetenv("MODLINK_PORTS");
    unsetenv("MODLINK_USB");
}

TEST_F(PppRasTest, WithoutRootTheInstalledPeersFileIsCalled) {
    m_config.privileged = false;
    writeEntry("KelvoZunto", m_pty.path());
    Notices n;
    HRASCONN h = 0;
    ASSERT_EQ(ras().RasDialA("KelvoZunto", n.func(), &h), 0u);
    EXPECT_EQ(n.waitFor(RASCS_Connected).back(), (Notice{RASCS_Connected, 0}));
    // No name server given: the peer's is asked for.
    EXPECT_EQ(slurp(m_dir / "args"), "call\nwanmate\n" + m_pty.path() + "\nusepeerdns\n");
    // The peers file's connect step runs the script of the current dial.
    EXPECT_NE(slurp(m_dir / "run" / "chat-current").find("OK 'ATD*99#'"), std::string::npos);
    ras().RasHangUpA(h);
    m_ras.reset();
    EXPECT_FALSE(fs::exists(m_dir / "run" / "chat-current"));
}

// The program ending (a signal, the session's end, 退出) ends a dial still
// under way, SIGKILL for a pppd deaf to SIGTERM, but a link that is up goes
// on and is found again by the next start.
TEST_F(PppRasTest, QuittingEndsADialUnderWayAndLeavesALinkUp) {
    m_config.killAfterMs = 300;
    setenv("FAKE_PPPD_PID", (m_dir / "pid-of-pppd").c_str(), 1);
    writeEntry("KelvoZunto", m_pty.path());
    for (bool deaf : {false, true}) {
        SCOPED_TRACE(deaf ? "deaf to SIGTERM" : "ends on SIGTERM");
        if (deaf) setenv("FAKE_PPPD_IGNORE_TERM", "1", 1);
        useLog("dialling.log");
        m_ras.reset();
        m_config.keepLogs = !deaf;
        Notices n;
        HRASCONN h = 0;
        ASSERT_EQ(ras().RasDialA("KelvoZunto", n.func(), &h), 0u);
        EXPECT_EQ(n.waitFor(RASCS_ConnectDevice).back(), (Notice{RASCS_ConnectDevice, 0}));
        pid_t pid = std::stoi(slurp(m_dir / "pid-of-pppd"));
        m_ras.reset();  // returns once pppd is gone
        EXPECT_NE(kill(pid, 0), 0);
        const fs::path log = m_dir / "run" / ("session-" + std::to_string(getpid()) + "-1.log");
        if (!deaf) {  // SIGTERM first
            EXPECT_NE(slurp(log).find("Terminating on signal 15"), std::string::npos);
            fs::remove(log);
        }
        EXPECT_TRUE(fs::is_empty(m_dir / "run"));
        unsetenv("FAKE_PPPD_IGNORE_TERM");
    }
    m_config.keepLogs = false;
    // A program that leaves through exit() without unwinding (the
    // toolkit, when the session's display goes away).
    fs::remove(m_dir / "pid-of-pppd");
    pid_t program = fork();
    if (program == 0) {
        Notices n;
        HRASCONN h = 0;
        ras().RasDialA("KelvoZunto", n.func(), &h);
        n.waitFor(RASCS_ConnectDevice);
        std::exit(0);
    }
    waitpid(program, nullptr, 0);
    pid_t abandoned = std::stoi(slurp(m_dir / "pid-of-pppd"));
    EXPECT_TRUE(gone(abandoned, 1000));
    useLog("connected.log");
    Notices n;
    HRASCONN h = 0;
    ASSERT_EQ(ras().RasDialA("KelvoZunto", n.func(), &h), 0u);
    ASSERT_EQ(n.waitFor(RASCS_Connected).back(), (Notice{RASCS_Connected, 0}));
    pid_t pid = std::stoi(slurp(m_dir / "pid-of-pppd"));
    m_ras.reset();
    EXPECT_EQ(kill(pid, 0), 0);  // the next start finds it by its pid file
    kill(pid, SIGKILL);
    unsetenv("FAKE_PPPD_PID");
}

// resolv.conf set aside by the ip-up hook of a link that ended without
// ip-down is put back at the next start, unless that link is still up.
TEST_F(PppRasTest, AResolvConfLeftAsideIsPutBackAtStart) {
    if (geteuid() != 0) GTEST_SKIP() << "the hook's copy belongs to root";
    m_config.etcDir = m_dir / "etc";
    fs::create_directories(m_config.etcDir);
    const fs::path conf = m_config.etcDir / "resolv.conf";
    const fs::path aside = m_config.etcDir / "resolv.conf.wanmate-saved";
    struct Row {
        const char* name;
        const char* asideText;
        bool linkUp;
        const char* confAfter;  // nullptr: no file
    } rows[] = {
        {"copy of the old file", "nameserver 192.0.2.1\n", false, "nameserver 192.0.2.1\n"},
        {"there was none", "# wanmate-dns: there was no resolv.conf\n", false, nullptr},
        {"its link still up", "nameserver 192.0.2.1\n", true, "nameserver 10.0.0.1\n"},
    };
    pid_t link = fork();
    if (link == 0) {
        execl("/bin/sleep", "sleep", "30", nullptr);
        _exit(127);
    }
    fs::create_directories(m_dir / "sys" / "class" / "net" / "ppp0");
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        fs::remove_all(m_dir / "pid");
        if (r.linkUp) {
            fs::create_directories(m_dir / "pid");
            std::ofstream(m_dir / "pid" / "ppp-wanmate.pid") << link << "\nppp0\n";
        }
        std::ofstream(conf) << "nameserver 10.0.0.1\n";
        std::ofstream(aside) << r.asideText;
        m_ras.reset();
        ras();
        EXPECT_EQ(fs::exists(conf), r.confAfter != nullptr);
        if (r.confAfter) {
            EXPECT_EQ(slurp(conf), r.confAfter);
        }
        EXPECT_EQ(fs::exists(aside), r.linkUp);
    }
    kill(link, SIGKILL);
    waitpid(link, nullptr, 0);
}

TEST_F(PppRasTest, ALinkOfAnEarlierRunIsFoundByItsPidFileAndHungUp) {
    pid_t link = fork();
    if (link == 0) {
        execl("/bin/sleep", "sleep", "30", nullptr);
        _exit(127);
    }
    fs::create_directories(m_dir / "pid");
    std::ofstream(m_dir / "pid" / "ppp-wanmate.pid") << link << "\nppp0\n";
    std::vector<RASCONNA> conns;
    size_t needed = 0;
    // Without its interface the pid file is a leftover.
    EXPECT_EQ(ras().RasEnumConnectionsA(1, conns, &needed), 0u);
    EXPECT_EQ(needed, 0u);
    fs::create_directories(m_dir / "sys" / "class" / "net" / "ppp0");
    ASSERT_EQ(ras().RasEnumConnectionsA(1, conns, &needed), 0u);
    ASSERT_EQ(conns.size(), 1u);
    EXPECT_EQ(conns[0].hrasconn, kForeignLinkBit | HRASCONN(link));
    RASCONNSTATUSA st;
    EXPECT_EQ(ras().RasGetConnectStatusA(conns[0].hrasconn, st), 0u);
    EXPECT_EQ(st.rasconnstate, RASCS_Connected);
    EXPECT_EQ(ras().RasHangUpA(conns[0].hrasconn), 0u);
    int status = 0;
    EXPECT_EQ(waitpid(link, &status, 0), link);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
    // A dead pid is no link.
    EXPECT_EQ(ras().RasEnumConnectionsA(1, conns, &needed), 0u);
    EXPECT_EQ(needed, 0u);
}

// A run directory (the dialer's, the instance lock's) someone else could
// have prepared is never used, and nothing is written through a link
// planted in it: root's dial would otherwise overwrite a file of their
// choice.
TEST_F(PppRasTest, RunDirectoryAndLockRefuseWhatIsNotSafelyOurs) {
    const fs::path victim = m_dir / "victim";
    const fs::path mine = m_dir / "mine";
    fs::create_directory(mine, m_dir);
    fs::permissions(mine, fs::perms::owner_all, fs::perm_options::replace);
    struct Row {
        const char* name;
        std::function<void(const fs::path&)> prepare;  // makes the directory
        bool used;
    } rows[] = {
        {"missing: made 0700", [](const fs::path&) {}, true},
        {"ours, 0700",
         [](const fs::path& d) {
             fs::create_directory(d);
             fs::permissions(d, fs::perms::owner_all, fs::perm_options::replace);
         },
         true},
        {"a link to a directory of ours",
         [&](const fs::path& d) { fs::create_directory_symlink(mine, d); }, false},
        {"open to the group",
         [](const fs::path& d) {
             fs::create_directory(d);
             fs::permissions(d, fs::perms::owner_all | fs::perms::group_all,
                             fs::perm_options::replace);
         },
         false},
        {"another user's",
         [](const fs::path& d) {
             fs::create_directory(d);
             fs::permissions(d, fs::perms::owner_all, fs::perm_options::replace);
             if (geteuid() == 0) {
                 EXPECT_EQ(chown(d.c_str(), 65534, 65534), 0);
             }
         },
         geteuid() != 0},  // a test without root cannot give a directory away
        {"a file", [](const fs::path& d) { std::ofstream(d) << "x"; }, false},
    };
    writeEntry("KelvoZunto", m_pty.path());
    const std::string chatName = "chat-" + std::to_string(getpid()) + "-";
    int row = 0;
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        std::ofstream(victim) << "precious\n";
        fs::path dir = m_dir / ("run" + std::to_string(++row));
        r.prepare(dir);
        std::string why;
        EXPECT_EQ(platform::ensurePrivateDir(dir, &why), r.used) << why;
        EXPECT_EQ(why.empty(), r.used);
        setenv("KELVO_RUNTIME_DIR", dir.c_str(), 1);
        if (r.used) {
            // Links planted where the lock's and the dial's files will be
            // are not followed.
            fs::create_symlink(victim, dir / "Wanmate.lock");
            fs::create_symlink(victim, dir / "chat-current");
            fs::create_symlink(victim, dir / (chatName + "1"));
        }
        {
            platform::InstanceLock lock("Wanmate");
            EXPECT_FALSE(lock.acquired());
            EXPECT_FALSE(lock.problem().empty());
        }
        if (r.used) {
            fs::remove(dir / "Wanmate.lock");
            platform::InstanceLock lock("Wanmate");
            EXPECT_TRUE(lock.acquired()) << lock.problem();
        }
        unsetenv("KELVO_RUNTIME_DIR");
        // A dial as root (the full command line, chat script by name) and
        // as a user (chat-current, through the peers file).
        for (bool privileged : {true, false}) {
            m_ras.reset();
            m_config.runDir = dir;
            m_config.privileged = privileged;
            Notices n;
            HRASCONN h = 0;
            ASSERT_EQ(ras().RasDialA("KelvoZunto", n.func(), &h), 0u);
            auto got = n.waitFor(RASCS_Connected);
            const Notice expected =
                r.used ? Notice{RASCS_Connected, 0} : Notice{RASCS_OpenPort, ERROR_PORT_OR_DEVICE};
            EXPECT_EQ(got.back(), expected);
            ras().RasHangUpA(h);
        }
        m_ras.reset();
        EXPECT_EQ(slurp(victim), "precious\n");
        if (r.used) {
            EXPECT_EQ(fs::status(dir).permissions() & fs::perms::all, fs::perms::owner_all);
            EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "chat-current")));
        }
    }
}
