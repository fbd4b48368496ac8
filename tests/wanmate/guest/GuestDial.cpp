// SPDX-License-Identifier: GPL-3.0-or-later
// Runs inside the test guest (a kernel with PPP): dials the simulated modem
// on PORT through the real CRasDialer and pppd, prints the states, pings
// the far end once, checks that the given name server is in
// /etc/resolv.conf while the link is up (through the installed ip-up hook)
// and put back after, and hangs up. The last line says PASS, FAIL or SKIP.
// With --quit PORT: a dial that never connects is under way when the
// dialer is told to end (SIGTERM); no pppd may be left behind.
// With --usb: the table's USB modem, which ModemManager has, is counted and
// dialled with no port named; ModemManager lets go of it for the dial and
// lists it again after the hang-up.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "CRasDialer.h"
#include "StoreRegistry.h"
#include "platform/OsVersion.h"
#include "platform/SysfsUsbHost.h"
#include "platform/ras/PppRas.h"
#include "support/ManagerList.h"

using namespace platform::ras;

namespace {

std::mutex g_mutex;
std::condition_variable g_cv;
std::vector<std::pair<unsigned, DWORD>> g_notices;

int result(const char* verdict, const std::string& why, const char* key = "RESULT") {
    std::printf("GUEST-%s: %s %s\n", key, verdict, why.c_str());
    std::fflush(stdout);
    return 0;
}

// A process's /proc file fails to read (ESRCH) once it has ended: what
// was read is kept, where a stream would throw.
std::string slurp(const char* path) {
    std::string out;
    int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return out;
    char buf[4096];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0) out.append(buf, static_cast<size_t>(n));
    ::close(fd);
    return out;
}

// Polls for up to `ms` until `ok` holds.
template <class F>
bool within(int ms, F ok) {
    for (int i = 0; i < ms / 50; ++i) {
        if (ok()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return ok();
}

// pppd processes of the dialer's link (its command line names it), and
// the chat runs of its connect step.
int dialerPppds() {
    const std::string script = (PppConfig::fromEnvironment().runDir / "chat-").string();
    int n = 0;
    DIR* d = opendir("/proc");
    while (dirent* e = d ? readdir(d) : nullptr) {
        if (e->d_name[0] < '1' || e->d_name[0] > '9') continue;
        std::string cmd = slurp(("/proc/" + std::string(e->d_name) + "/cmdline").c_str());
        if (cmd.find("pppd") != std::string::npos &&
            cmd.find(std::string("linkname\0wanmate", 16)) != std::string::npos)
            ++n;
        if (cmd.rfind("/usr/sbin/chat", 0) == 0 && cmd.find(script) != std::string::npos) ++n;
    }
    if (d) closedir(d);
    return n;
}

// Files the dials left in the run directory (the kept logs aside).
std::string leftovers(const std::filesystem::path& dir) {
    std::string names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec))
        if (e.path().filename().string().rfind("chat-", 0) == 0)
            names += e.path().filename().string() + " ";
    return names;
}

class PrintingBox final : public platform::MessageBoxPort {
public:
    int show(const platform::MessageBoxRequest& r) override {
        std::printf("message box: %s\n", r.text.c_str());
        return platform::IDOK;
    }
};

// The last command chat sent and how it ended, from the session's log
// (kept: WANMATE_KEEP_LOGS).
std::string chatOutcome() {
    std::ifstream in(PppConfig::fromEnvironment().runDir /
                     ("session-" + std::to_string(getpid()) + "-1.log"));
    std::string line, sent, failed;
    while (std::getline(in, line)) {
        if (line.rfind("send (", 0) == 0) sent = line;
        if (line.rfind("Failed", 0) == 0) failed = line;
    }
    return failed + " after " + sent;
}

}  // namespace

// The dialer ending mid-dial, as the program does on SIGTERM: the signal
// ends its main loop and the service goes with the program's objects.
int quitMidDial() {
    int pipefd[2];
    if (pipe(pipefd) != 0) return result("FAIL", "no pipe", "QUIT");
    pid_t child = fork();
    if (child == 0) {
        close(pipefd[0]);
        sigset_t term;
        sigemptyset(&term);
        sigaddset(&term, SIGTERM);
        sigprocmask(SIG_BLOCK, &term, nullptr);
        {
            wanmate::StoreRegistry registry;
            platform::usb::SysfsUsbHost usb;
            platform::HostVersion version;
            PrintingBox box;
            PppRas ras(PppConfig::fromEnvironment(), usb, RasPhonebook("/tmp/rasphone-quit.ini"),
                       [](const std::string&) { return std::string("AT"); });
            wanmate::CRasDialer dialer(ras, registry, version, box);
            dialer.FindModemDevice();
            dialer.SetPhoneNumber("*98#");  // the shell modem never answers it
            dialer.CreateEntry(wanmate::kEntryName);
            dialer.SetNotifier([fd = pipefd[1]](unsigned, RASCONNSTATE s, DWORD) {
                char c = s == RASCS_ConnectDevice ? 'd' : '.';
                [[maybe_unused]] ssize_t n = write(fd, &c, 1);
            });
            if (!dialer.Dial()) _exit(2);
            int sig = 0;
            sigwait(&term, &sig);
        }
        _exit(0);
    }
    close(pipefd[1]);
    char c = 0;
    while (c != 'd' && read(pipefd[0], &c, 1) == 1) {
    }
    if (c != 'd') return result("FAIL", "the dial never reached ATD", "QUIT");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    int before = dialerPppds();
    auto t0 = std::chrono::steady_clock::now();
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0)
            .count();
    std::printf("dialer ended %lld ms after SIGTERM\n", static_cast<long long>(ms));
    if (before != 2)
        return result("FAIL", std::to_string(before) + " pppd and chat while dialling, not 2",
                      "QUIT");
    if (int after = dialerPppds())
        return result("FAIL", std::to_string(after) + " pppd or chat left behind", "QUIT");
    // pppd ends on SIGTERM (about 1 s here); SIGKILL comes only after 3 s,
    // for a pppd that could not hear it (a signal mask passed on to it).
    if (ms >= 2500) return result("FAIL", "pppd needed SIGKILL", "QUIT");
    std::string left = leftovers(PppConfig::fromEnvironment().runDir);
    if (!left.empty()) return result("FAIL", "left in the run directory: " + left, "QUIT");
    return result("PASS", "pppd and chat ended with the dialer, its chat script removed", "QUIT");
}

// The dial through the USB modem of the ModemManager check (GUEST_MM).
int usbDial() {
    const char* key = "MMDIAL";
    if (!guest::managerListsModemWithin(60, true))
        return result("SKIP", "ModemManager never listed the modem", key);
    wanmate::StoreRegistry registry;
    platform::usb::SysfsUsbHost usb;
    platform::HostVersion version;
    PrintingBox box;
    PppRas ras(PppConfig::fromEnvironment(), usb, RasPhonebook("/tmp/rasphone-usb.ini"),
               [](const std::string&) { return std::string("AT+CGDCONT=1,\"IP\",\"CMNET\""); });
    wanmate::CRasDialer dialer(ras, registry, version, box);
    if (dialer.FindModemDevice() != 1)
        return result("FAIL", "the table's modem is not counted", key);
    dialer.SetPhoneNumber("*99#");
    if (!dialer.CreateEntry(wanmate::kEntryName)) return result("FAIL", "entry not written", key);
    dialer.SetNotifier([](unsigned, RASCONNSTATE s, DWORD e) {
        std::lock_guard lk(g_mutex);
        g_notices.push_back({s, e});
        g_cv.notify_all();
    });
    if (!dialer.Dial()) return result("FAIL", "dial refused", key);
    {
        std::unique_lock lk(g_mutex);
        g_cv.wait_for(lk, std::chrono::seconds(60), [] {
            return !g_notices.empty() &&
                   (g_notices.back().first == RASCS_Connected || g_notices.back().second != 0);
        });
        if (g_notices.empty() || g_notices.back().first != RASCS_Connected)
            return result("FAIL", "the dial did not connect: " + chatOutcome(), key);
    }
    const bool managerLetGo = !guest::managerListsModem();
    const bool pinged = std::system("ping -c 1 -W 5 10.64.64.1") == 0;
    dialer.HangUp();
    within(5000, [] { return dialerPppds() == 0; });
    // The simulator's data mode ends when it is told (the host passes this
    // line on), as a network does when the call is cleared.
    std::printf("GUEST-HOST: hangup 1\n");
    std::fflush(stdout);
    if (!managerLetGo) return result("FAIL", "ModemManager listed the modem during the dial", key);
    if (!pinged) return result("FAIL", "no ping answer over the USB modem", key);
    if (!guest::managerListsModemWithin(90, true))
        return result("FAIL", "ModemManager did not take the modem back after the hang-up", key);
    return result("PASS", "dialled the table's modem, ModemManager let go and took it back", key);
}

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--usb") return usbDial();
    if (argc == 3 && std::string(argv[1]) == "--quit") {
        setenv("WANMATE_RAS_PORTS", argv[2], 1);
        return quitMidDial();
    }
    if (argc < 2) return result("FAIL", "usage: wanmate_guest_dial [--quit] PORT");
    setenv("WANMATE_RAS_PORTS", argv[1], 1);
    const std::string original = slurp("/etc/resolv.conf");
    wanmate::StoreRegistry registry;
    platform::usb::SysfsUsbHost usb;
    platform::HostVersion version;
    PrintingBox box;
    PppRas ras(PppConfig::fromEnvironment(), usb, RasPhonebook("/tmp/rasphone.ini"),
               [](const std::string&) { return std::string("AT+CGDCONT=1,\"IP\",\"CMNET\""); });
    wanmate::CRasDialer dialer(ras, registry, version, box);
    if (dialer.FindModemDevice() != 1) return result("FAIL", "the simulated modem is not a device");
    dialer.SetPhoneNumber("*99#");
    dialer.SetDnsAddress(" 10. 64. 64.  9");  // the network would offer .1
    if (!dialer.CreateEntry(wanmate::kEntryName)) return result("FAIL", "entry not written");
    dialer.SetNotifier([](unsigned, RASCONNSTATE s, DWORD e) {
        std::lock_guard lk(g_mutex);
        g_notices.push_back({s, e});
        std::printf("state %u error %u\n", unsigned(s), unsigned(e));
        std::fflush(stdout);
        g_cv.notify_all();
    });
    auto t0 = std::chrono::steady_clock::now();
    if (!dialer.Dial()) return result("FAIL", "dial refused");
    {
        std::unique_lock lk(g_mutex);
        g_cv.wait_for(lk, std::chrono::seconds(40), [] {
            return !g_notices.empty() &&
                   (g_notices.back().first == RASCS_Connected || g_notices.back().second != 0);
        });
    }
    auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0)
            .count();
    std::vector<std::pair<unsigned, DWORD>> got;
    {
        std::lock_guard lk(g_mutex);
        got = g_notices;
    }
    if (got.empty()) return result("FAIL", "no progress at all");
    if (got.back().second != 0 && got.back().first == RASCS_ConnectDevice) {
        // The modem refused before CONNECT: a simulator without a data mode.
        dialer.HangUp();
        return result("SKIP",
                      "the simulated modem did not answer ATD*99# with CONNECT (no data "
                      "mode?): " +
                          chatOutcome());
    }
    if (got.back().first != RASCS_Connected)
        return result("FAIL", "ended with error " + std::to_string(got.back().second));
    const std::vector<std::pair<unsigned, DWORD>> expected = {
        {RASCS_OpenPort, 0},     {RASCS_ConnectDevice, 0}, {RASCS_DeviceConnected, 0},
        {RASCS_Authenticate, 0}, {RASCS_Projected, 0},     {RASCS_Connected, 0}};
    if (got != expected) return result("FAIL", "states out of order");
    std::printf("connected in %lld ms\n", static_cast<long long>(ms));
    if (dialer.GetConnectionStatus() != wanmate::ConnectionStatus::Connected)
        return result("FAIL", "status is not Connected");
    if (std::system("ping -c 1 -W 5 10.64.64.1") != 0) return result("FAIL", "no ping answer");
    bool dnsUp = within(5000, [] {
        return slurp("/etc/resolv.conf").find("nameserver 10.64.64.9\n") != std::string::npos;
    });
    std::string upText = slurp("/etc/resolv.conf");
    dialer.HangUp();
    bool restored = within(5000, [&] {
        return slurp("/etc/resolv.conf") == original &&
               access("/etc/resolv.conf.wanmate-saved", F_OK) != 0;
    });
    if (!dnsUp)
        result("FAIL", "10.64.64.9 not in /etc/resolv.conf while up: " + upText, "DNS");
    else if (!restored)
        result("FAIL", "/etc/resolv.conf not put back: " + slurp("/etc/resolv.conf"), "DNS");
    else
        result("PASS", "10.64.64.9 in /etc/resolv.conf while up, the old file back after", "DNS");
    if (dialer.GetConnectionStatus() != wanmate::ConnectionStatus::NotConnected)
        return result("FAIL", "still connected after hang-up");
    if (!within(5000, [] { return dialerPppds() == 0; }))
        return result("FAIL", "pppd outlived the hang-up");
    const auto runDir = PppConfig::fromEnvironment().runDir;
    if (!within(2000, [&] { return leftovers(runDir).empty(); }))
        return result("FAIL", "left in the run directory: " + leftovers(runDir));
    return result("PASS", "dialled, pinged 10.64.64.1, hung up");
}
