// SPDX-License-Identifier: GPL-3.0-or-later
// The headless main frame killed (SIGKILL) at random moments while it sends
// 60 queued messages over 2 simulated devices, restarted each time, until
// the OutBox is empty. Counts from the simulator's list of what it sent:
// messages lost, messages sent twice, and which of the doubles were in
// flight at a kill (in the OutBox file right after the kill although the
// simulator had sent them: handed to a modem, no result on disk yet).
// Usage: sendkill_bench [BIN_DIR] [MESSAGES] [SEED]
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/Zuntosim.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr size_t kRecord = 236;  // a mailbox record
constexpr size_t kNumberAt = 4, kTextAt = 46, kStatusAt = 229;

std::string field(const std::string& rec, size_t at, size_t width) {
    const std::string f = rec.substr(at, width);
    return f.substr(0, f.find('\0'));
}

std::string record(const std::string& number, const std::string& text) {
    std::string r(kRecord, '\0');
    r.replace(kNumberAt, number.size(), number);
    r.replace(kTextAt, text.size(), text);
    r.replace(207, 10, "2026-12-07");
    r.replace(218, 8, "10:00:00");
    return r;
}

// Texts of the records in a mailbox file.
std::vector<std::string> texts(const fs::path& file) {
    std::ifstream f(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(f)), {});
    std::vector<std::string> out;
    for (size_t at = 0; at + kRecord <= bytes.size(); at += kRecord)
        out.push_back(field(bytes.substr(at, kRecord), kTextAt, 161));
    return out;
}

struct Simulator {
    support::ChildProcess proc;
    int devices = 0;
    std::vector<std::vector<std::string>> sent;  // per device, in order

    // Reads what each device sent since the last call.
    void update() {
        for (int d = 1; d <= devices; ++d) {
            auto& list = sent[static_cast<size_t>(d - 1)];
            const std::string r = proc.ask("sent " + std::to_string(d), "OK", 10s);
            const int n = r.size() > 3 ? std::atoi(r.c_str() + 3) : 0;
            for (int k = static_cast<int>(list.size()) + 1; k <= n; ++k) {
                const std::string one =
                    proc.ask("sent " + std::to_string(d) + " " + std::to_string(k), "OK", 10s);
                // "OK NUMBER TEXT"
                const size_t sp = one.find(' ', 3);
                list.push_back(sp == std::string::npos ? std::string() : one.substr(sp + 1));
            }
        }
    }
    std::map<std::string, int> counts() const {
        std::map<std::string, int> c;
        for (auto& l : sent)
            for (auto& t : l) ++c[t];
        return c;
    }
};

}  // namespace

int main(int argc, char** argv) {
    const std::string bin =
        fs::absolute(argc > 1 ? fs::path(argv[1]) : fs::path(argv[0]).parent_path()).string();
    const int messages = argc > 2 ? std::atoi(argv[2]) : 60;
    const unsigned seed = argc > 3 ? static_cast<unsigned>(std::atoi(argv[3])) : 20261207u;
    for (const char* f : {"/libmodlink.so", "/zuntosim", "/msgdesk_headless"})
        if (!fs::exists(bin + f)) {
            std::printf("sendkill_bench: skipped, no %s%s\n", bin.c_str(), f);
            return 0;
        }
    Simulator sim;
    sim.devices = 2;
    sim.sent.resize(2);
    const auto simPorts = support::startZuntosim(
        sim.proc, {bin + "/zuntosim", "--devices", "2", "--send-latency", "300"}, sim.devices);
    if (static_cast<int>(simPorts.size()) != sim.devices) return 1;
    const std::string ports = support::joinPorts(simPorts);
    setenv("MODLINK_PORTS", ports.c_str(), 1);
    setenv("MODLINK_LIBRARY", (bin + "/libmodlink.so").c_str(), 1);

    const fs::path dir = fs::temp_directory_path() / ("sendkill_bench-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "data");
    {
        std::ofstream out(dir / "data" / "OutBox.db", std::ios::binary);
        for (int i = 0; i < messages; ++i) {
            char number[32];
            std::snprintf(number, sizeof number, "1380099%04d", i);
            out << record(number, "kill " + std::to_string(i));
        }
    }
    const fs::path outbox = dir / "data" / "OutBox.db";
    const fs::path sentbox = dir / "data" / "SentBox.db";

    std::mt19937 rnd(seed);
    std::set<std::string> inFlight;  // at some kill
    int kills = 0, maxInFlight = 0;
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        support::ChildProcess app;
        app.start({bin + "/msgdesk_headless", "--dir", dir.string()});
        if (app.waitFor("ready", 60s).empty()) {
            std::printf("sendkill_bench: the headless frame did not get ready\n");
            return 1;
        }
        if (texts(outbox).empty()) {
            app.send("quit");
            app.wait(10s);
            break;
        }
        std::this_thread::sleep_for(
            std::chrono::milliseconds(std::uniform_int_distribution<int>(200, 3000)(rnd)));
        app.stop(SIGKILL);
        ++kills;
        sim.update();
        const auto sentNow = sim.counts();
        int here = 0;
        std::string which;
        for (const std::string& t : texts(outbox))
            if (sentNow.count(t)) {
                inFlight.insert(t);
                ++here;
                which += " \"" + t + "\"";
            }
        maxInFlight = std::max(maxInFlight, here);
        int total = 0;
        for (auto& [t, n] : sentNow) total += n;
        std::printf("kill %d: %zu left in the OutBox, %d sends so far, %d in flight%s\n", kills,
                    texts(outbox).size(), total, here, which.c_str());
        std::fflush(stdout);
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    sim.update();
    const auto sent = sim.counts();
    std::set<std::string> inSentBox;
    for (auto& t : texts(sentbox)) inSentBox.insert(t);
    int lost = 0, twice = 0, twiceNotInFlight = 0, sends = 0;
    for (auto& [t, n] : sent) sends += n;
    for (int i = 0; i < messages; ++i) {
        const std::string t = "kill " + std::to_string(i);
        auto it = sent.find(t);
        if (it == sent.end() || !inSentBox.count(t)) ++lost;
        if (it != sent.end() && it->second > 1) {
            twice += it->second - 1;
            if (!inFlight.count(t)) ++twiceNotInFlight;
        }
    }
    std::printf(
        "sendkill_bench: %d messages, 2 devices, %d kills in %.0f s: %d sends, %d lost, %d sent "
        "twice (all in flight at a kill: %s; at most %d in flight at one kill), %d twice but not "
        "in flight\n",
        messages, kills, seconds, sends, lost, twice, twiceNotInFlight == 0 ? "yes" : "no",
        maxInFlight, twiceNotInFlight);
    fs::remove_all(dir);
    return lost == 0 && twiceNotInFlight == 0 ? 0 : 1;
}
