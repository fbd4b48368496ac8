// SPDX-License-Identifier: GPL-3.0-or-later
// modlink_bench [IDLE_SECONDS [ROUNDS]]: CPU use of an idle link with 16
// simulated modems, and the round-trip time of GetSignal through the engine
// (request -> worker -> pty -> zuntosim -> pty -> parser -> callback).
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "modlink.h"
#include "support/Zuntosim.h"

extern char** environ;

namespace {

std::mutex g_mutex;
std::condition_variable g_cv;
int g_signals = 0;

int MODLINK_CALL onEvent(unsigned event, const char*, void*, int) {
    if (event == MODLINK_EV_SIGNAL) {
        std::lock_guard lock(g_mutex);
        ++g_signals;
        g_cv.notify_all();
    }
    return 0;
}

double cpuSeconds(const rusage& r) {
    return static_cast<double>(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
           static_cast<double>(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

// utime + stime of another process, from /proc (clock ticks).
double processCpu(pid_t pid) {
    std::ifstream f("/proc/" + std::to_string(pid) + "/stat");
    std::string s((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    auto close = s.rfind(')');
    if (close == std::string::npos) return 0;
    std::vector<std::string> fields;
    std::string cur;
    for (char c : s.substr(close + 2)) {
        if (c == ' ') {
            fields.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (fields.size() < 13) return 0;
    return (std::stod(fields[11]) + std::stod(fields[12])) /
           static_cast<double>(sysconf(_SC_CLK_TCK));
}

}  // namespace

int main(int argc, char** argv) {
    int idleSeconds = argc > 1 ? std::atoi(argv[1]) : 10;
    int rounds = argc > 2 ? std::atoi(argv[2]) : 1000;
    const int devices = 16;

    std::string bin = std::string(ZUNTO_BIN_DIR) + "/zuntosim";
    support::ChildProcess simProc;
    const auto simPorts =
        support::startZuntosim(simProc, {bin, "--devices", std::to_string(devices)}, devices);
    if (simPorts.empty()) {
        std::fprintf(stderr, "cannot start %s\n", bin.c_str());
        return 1;
    }
    const pid_t sim = simProc.pid();
    const std::string ports = support::joinPorts(simPorts);
    setenv("MODLINK_PORTS", ports.c_str(), 1);
    setenv("MODLINK_USB", "0", 1);
    if (InitModules() != 0) {
        std::fprintf(stderr, "InitModules failed\n");
        return 1;
    }
    RegistCallbackFunction(&onEvent, nullptr);
    int count = 0;
    GetActiveDeviceCount(&count);
    std::printf("devices attached: %d\n", count);

    rusage r0{}, r1{};
    getrusage(RUSAGE_SELF, &r0);
    double sim0 = processCpu(sim);
    auto t0 = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(idleSeconds));
    auto t1 = std::chrono::steady_clock::now();
    getrusage(RUSAGE_SELF, &r1);
    double sim1 = processCpu(sim);
    double wall = std::chrono::duration<double>(t1 - t0).count();
    double cpu = cpuSeconds(r1) - cpuSeconds(r0);
    std::printf(
        "idle link, %d devices, %.1f s: library process CPU %.4f s (%.3f%% of one core), "
        "simulator CPU %.4f s\n",
        count, wall, cpu, 100.0 * cpu / wall, sim1 - sim0);

    std::vector<double> us;
    us.reserve(static_cast<std::size_t>(rounds));
    for (int i = 0; i < rounds; ++i) {
        int device = 1 + i % count;
        int before;
        {
            std::lock_guard lock(g_mutex);
            before = g_signals;
        }
        auto a = std::chrono::steady_clock::now();
        if (GetSignal(device) < 0) return 1;
        std::unique_lock lock(g_mutex);
        if (!g_cv.wait_for(lock, std::chrono::seconds(5), [&] { return g_signals > before; })) {
            std::fprintf(stderr, "no answer\n");
            return 1;
        }
        us.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - a)
                         .count());
    }
    std::sort(us.begin(), us.end());
    double sum = 0;
    for (double v : us) sum += v;
    std::printf(
        "GetSignal round trip over %d requests: mean %.0f us, median %.0f us, "
        "p99 %.0f us, max %.0f us\n",
        rounds, sum / static_cast<double>(rounds), us[us.size() / 2], us[us.size() * 99 / 100],
        us.back());

    // Throughput with all 16 queues busy at once.
    {
        std::lock_guard lock(g_mutex);
        g_signals = 0;
    }
    auto a = std::chrono::steady_clock::now();
    int total = 0;
    for (int i = 0; i < rounds; ++i)
        if (GetSignal(1 + i % count) >= 0) ++total;
    {
        std::unique_lock lock(g_mutex);
        g_cv.wait_for(lock, std::chrono::seconds(30), [&] { return g_signals >= total; });
    }
    double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - a).count();
    std::printf("GetSignal burst: %d requests over %d devices in %.3f s (%.0f answers/s)\n", total,
                count, secs, total / secs);

    CloseModules();
    simProc.closeInput();  // zuntosim ends at end of input
    simProc.wait(std::chrono::seconds(30));
    return 0;
}
