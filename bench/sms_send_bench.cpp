// SPDX-License-Identifier: GPL-3.0-or-later
// sms_send_bench [MESSAGES [DEVICES...]]: sends MESSAGES short messages
// (default 200) through libmodlink to zuntosim modems that take 2.5 s per
// message (--send-latency 2500), over 1, 4 and 16 devices by default.
// Prints messages per minute and the ratio to the limit the latency sets
// (24 a minute per device).
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "modlink.h"
#include "support/Zuntosim.h"

extern char** environ;

namespace {

constexpr int kLatencyMs = 2500;

std::mutex g_mutex;
std::condition_variable g_cv;
int g_answers = 0;
int g_ok = 0;

int MODLINK_CALL onEvent(unsigned event, const char* text, void*, int) {
    if (event == MODLINK_EV_SEND) {
        std::lock_guard lock(g_mutex);
        ++g_answers;
        if (text && std::string(text) == "OK") ++g_ok;
        g_cv.notify_all();
    }
    return 0;
}

struct Sim {
    support::ChildProcess proc;
    std::string ports;
};

bool startSim(const std::string& bin, int devices, Sim& sim) {
    auto ports = support::startZuntosim(
        sim.proc,
        {bin, "--devices", std::to_string(devices), "--send-latency", std::to_string(kLatencyMs)},
        devices);
    sim.ports = support::joinPorts(ports);
    return static_cast<int>(ports.size()) == devices;
}

void stopSim(Sim& sim) {
    sim.proc.closeInput();  // end of input ends it
    sim.proc.wait(std::chrono::seconds(30));
}

// Sends `messages` over `devices` modems; false when the run failed.
bool run(const std::string& bin, int devices, int messages) {
    Sim sim;
    if (!startSim(bin, devices, sim)) {
        std::printf("sms_send_bench: cannot start zuntosim with %d devices\n", devices);
        stopSim(sim);
        return false;
    }
    setenv("MODLINK_PORTS", sim.ports.c_str(), 1);
    setenv("MODLINK_USB", "0", 1);
    if (InitModules() != 0) {
        std::printf("sms_send_bench: InitModules failed\n");
        stopSim(sim);
        return false;
    }
    RegistCallbackFunction(&onEvent, nullptr);
    {
        std::lock_guard lock(g_mutex);
        g_answers = g_ok = 0;
    }
    auto start = std::chrono::steady_clock::now();
    int accepted = 0;
    for (int i = 0; i < messages; ++i) {
        char number[32], text[64];
        std::snprintf(number, sizeof number, "1390000%04d", i);
        std::snprintf(text, sizeof text, "benchmark message %d", i);
        if (SendSMSMessage(number, text) >= 0) ++accepted;
    }
    {
        std::unique_lock lock(g_mutex);
        g_cv.wait_for(lock, std::chrono::seconds(messages * kLatencyMs / 1000 + 120),
                      [&] { return g_answers >= accepted; });
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    CloseModules();
    RegistCallbackFunction(nullptr, nullptr);
    stopSim(sim);
    double perMinute = g_ok * 60.0 / seconds;
    double limit = 24.0 * devices;
    std::printf(
        "sms_send_bench: %2d devices: %d of %d messages sent OK in %.1f s: %.1f messages/min, "
        "%.3f of the limit (%.0f/min)\n",
        devices, g_ok, messages, seconds, perMinute, perMinute / limit, limit);
    std::fflush(stdout);
    return g_ok == messages;
}

}  // namespace

int main(int argc, char** argv) {
    signal(SIGPIPE, SIG_IGN);
    const std::string bin = std::string(ZUNTO_BIN_DIR) + "/zuntosim";
    int messages = argc > 1 ? std::atoi(argv[1]) : 200;
    std::vector<int> sizes;
    for (int i = 2; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {1, 4, 16};
    bool ok = messages > 0;
    for (int d : sizes) ok = run(bin, d, messages) && ok;
    return ok ? 0 : 1;
}
