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
    pid_t pid = -1;
    int in = -1;
    FILE* out = nullptr;
    std::string ports;
};

bool startSim(const std::string& bin, int devices, Sim& sim) {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) return false;
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, in[0], 0);
    posix_spawn_file_actions_adddup2(&fa, out[1], 1);
    posix_spawn_file_actions_addclose(&fa, in[1]);
    posix_spawn_file_actions_addclose(&fa, out[0]);
    std::string n = std::to_string(devices), latency = std::to_string(kLatencyMs);
    std::vector<char*> argv = {const_cast<char*>(bin.c_str()),
                               const_cast<char*>("--devices"),
                               n.data(),
                               const_cast<char*>("--send-latency"),
                               latency.data(),
                               nullptr};
    int rc = posix_spawn(&sim.pid, bin.c_str(), &fa, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    close(in[0]);
    close(out[1]);
    sim.in = in[1];
    sim.out = fdopen(out[0], "r");
    if (rc != 0) return false;
    char line[512];
    for (int i = 0; i < devices && fgets(line, sizeof line, sim.out); ++i) {
        std::string l(line);
        auto sp = l.find(' ', 7);
        if (l.rfind("device ", 0) != 0 || sp == std::string::npos) return false;
        while (!l.empty() && (l.back() == '\n' || l.back() == '\r')) l.pop_back();
        sim.ports += (sim.ports.empty() ? "" : ",") + l.substr(sp + 1);
    }
    return !sim.ports.empty();
}

void stopSim(Sim& sim) {
    if (sim.in >= 0) close(sim.in);  // end of input ends it
    if (sim.pid > 0) waitpid(sim.pid, nullptr, 0);
    if (sim.out) fclose(sim.out);
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
