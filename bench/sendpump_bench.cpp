// SPDX-License-Identifier: GPL-3.0-or-later
// 200 messages through the whole send pump (the headless main frame, the
// device library, the simulator) to 4 simulated devices that take 2.5 s per
// message. Prints messages per minute and the ratio to the devices' limit
// (24 a minute each). Needs the SMS-capable library and simulator; without
// them it says what is missing and does nothing.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>

#include "support/Zuntosim.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

int sentCount(support::ChildProcess& app) {
    std::istringstream l(app.ask("status", "status "));
    std::string kv;
    while (l >> kv)
        if (kv.rfind("sent=", 0) == 0) return std::atoi(kv.c_str() + 5);
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    // Absolute, since the headless frame runs in a directory of its own.
    const std::string bin =
        fs::absolute(argc > 1 ? fs::path(argv[1]) : fs::path(argv[0]).parent_path()).string();
    const int devices = 4;
    const int messages = 200;
    for (const char* f : {"/libmodlink.so", "/zuntosim", "/msgdesk_headless"})
        if (!fs::exists(bin + f)) {
            std::printf("sendpump_bench: skipped, no %s%s\n", bin.c_str(), f);
            return 0;
        }
    support::ChildProcess sim;
    const auto simPorts = support::startZuntosim(
        sim, {bin + "/zuntosim", "--devices", std::to_string(devices), "--send-latency", "2500"},
        devices);
    if (!sim.running()) {
        std::printf("sendpump_bench: cannot start zuntosim\n");
        return 1;
    }
    if (static_cast<int>(simPorts.size()) != devices) {
        std::printf("sendpump_bench: skipped, this zuntosim has no --send-latency\n");
        return 0;
    }
    const std::string ports = support::joinPorts(simPorts);
    setenv("MODLINK_PORTS", ports.c_str(), 1);
    setenv("MODLINK_LIBRARY", (bin + "/libmodlink.so").c_str(), 1);

    const fs::path dir = fs::temp_directory_path() / "sendpump_bench";
    fs::remove_all(dir);
    support::ChildProcess app;
    app.start({bin + "/msgdesk_headless", "--dir", dir.string()});
    if (app.waitFor("ready", 60s).empty()) {
        std::printf("sendpump_bench: the headless frame did not get ready\n");
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < messages; ++i) {
        char number[32];
        std::snprintf(number, sizeof number, "1390000%04d", i);
        app.send(std::string("compose ") + number + " benchmark message " + std::to_string(i));
    }
    int sent = 0;
    const auto limit = start + 15min;
    while ((sent = sentCount(app)) < messages && std::chrono::steady_clock::now() < limit) {
        if (sent < 0) break;
        if (sent == 0 && std::chrono::steady_clock::now() > start + 60s) break;
        std::this_thread::sleep_for(100ms);
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    app.send("quit");
    app.wait(10s);
    fs::remove_all(dir);
    if (sent < 0 || (sent == 0 && seconds > 60)) {
        std::printf("sendpump_bench: skipped, the library sent nothing (no SMS support?)\n");
        return 0;
    }
    const double perMinute = sent * 60.0 / seconds;
    const double limitPerMinute = 24.0 * devices;
    std::printf(
        "sendpump_bench: %d of %d messages in %.1f s over %d devices: %.1f messages/min, "
        "%.2f of the limit (%.0f/min)\n",
        sent, messages, seconds, devices, perMinute, perMinute / limitPerMinute, limitPerMinute);
    return sent == messages ? 0 : 1;
}
