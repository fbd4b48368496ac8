// SPDX-License-Identifier: GPL-3.0-or-later
// Runs inside the test guest (a kernel with PPP): dials the simulated modem
// on PORT through the real CRasDialer and pppd, prints the states, pings
// the far end once and hangs up. The last line says PASS, FAIL or SKIP.
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
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

using namespace platform::ras;

namespace {

std::mutex g_mutex;
std::condition_variable g_cv;
std::vector<std::pair<unsigned, DWORD>> g_notices;

int result(const char* verdict, const std::string& why) {
    std::printf("GUEST-RESULT: %s %s\n", verdict, why.c_str());
    std::fflush(stdout);
    return 0;
}

class PrintingBox final : public platform::MessageBoxPort {
public:
    int show(const platform::MessageBoxRequest& r) override {
        std::printf("message box: %s\n", r.text.c_str());
        return platform::IDOK;
    }
};

// The last command chat sent and how it ended, from the session's log.
std::string chatOutcome() {
    std::ifstream in("/tmp/wanmate/session-" + std::to_string(getpid()) + "-1.log");
    std::string line, sent, failed;
    while (std::getline(in, line)) {
        if (line.rfind("send (", 0) == 0) sent = line;
        if (line.rfind("Failed", 0) == 0) failed = line;
    }
    return failed + " after " + sent;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return result("FAIL", "usage: wanmate_guest_dial PORT");
    setenv("WANMATE_RAS_PORTS", argv[1], 1);
    setenv("WANMATE_RESOLVCONF", "none", 1);
    wanmate::StoreRegistry registry;
    platform::usb::SysfsUsbHost usb;
    platform::HostVersion version;
    PrintingBox box;
    PppRas ras(PppConfig::fromEnvironment(), usb, RasPhonebook("/tmp/rasphone.ini"),
               [](const std::string&) { return std::string("AT+CGDCONT=1,\"IP\",\"CMNET\""); });
    wanmate::CRasDialer dialer(ras, registry, version, box);
    if (dialer.FindModemDevice() != 1) return result("FAIL", "the simulated modem is not a device");
    dialer.SetPhoneNumber("*99#");
    dialer.SetDnsAddress(" 10. 64. 64.  1");
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
    if (access("/tmp/wanmate/resolv.conf", R_OK) != 0) return result("FAIL", "DNS not written");
    dialer.HangUp();
    for (int i = 0; i < 100 && access("/tmp/wanmate/resolv.conf", F_OK) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (access("/tmp/wanmate/resolv.conf", F_OK) == 0)
        return result("FAIL", "DNS outlived the link");
    if (dialer.GetConnectionStatus() != wanmate::ConnectionStatus::NotConnected)
        return result("FAIL", "still connected after hang-up");
    return result("PASS", "dialled, pinged 10.64.64.1, hung up");
}
