// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Msgdesk's main frame without a window (msgdesk_headless) on the real
// device library and simulated modems, in a throwaway directory. Skips
// until the three programs are built.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "msgdesk/store/StoreTestSupport.h"
#include "support/Zuntosim.h"

namespace msgdesk::test {

class HeadlessFixture : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* f : {"/libmodlink.so", "/zuntosim", "/msgdesk_headless"})
            if (!std::filesystem::exists(bin + f)) GTEST_SKIP() << "no " << bin << f;
    }
    void TearDown() override {
        app.stop(SIGKILL);
        sim.stop(SIGTERM);
        unsetenv("MODLINK_PORTS");
        unsetenv("MODLINK_LIBRARY");
    }
    // Starts the modems (simulator arguments after "--devices n") and names
    // their ports for the library.
    void startSims(int devices, const std::vector<std::string>& extra = {}) {
        std::vector<std::string> args{bin + "/zuntosim", "--devices", std::to_string(devices)};
        args.insert(args.end(), extra.begin(), extra.end());
        const auto ports = support::startZuntosim(sim, args, devices);
        ASSERT_EQ(static_cast<int>(ports.size()), devices);
        setenv("MODLINK_PORTS", support::joinPorts(ports).c_str(), 1);
        setenv("MODLINK_LIBRARY", (bin + "/libmodlink.so").c_str(), 1);
    }
    // Starts the program on dir; true once it says it is ready.
    bool startApp(const std::vector<std::string>& extra = {}) {
        std::vector<std::string> args{bin + "/msgdesk_headless", "--dir", dir.path.string()};
        args.insert(args.end(), extra.begin(), extra.end());
        using namespace std::chrono_literals;
        return app.start(args) && !app.waitFor("ready", 60s).empty();
    }
    // The program's "status key=value ..." line.
    std::map<std::string, int> status() {
        std::map<std::string, int> out;
        std::istringstream l(app.ask("status", "status "));
        std::string kv;
        l >> kv;
        while (l >> kv) {
            const size_t eq = kv.find('=');
            if (eq != std::string::npos) out[kv.substr(0, eq)] = std::atoi(kv.c_str() + eq + 1);
        }
        return out;
    }
    // One value of it; -1 when the line lacks the key.
    int status(const std::string& key) {
        const auto all = status();
        const auto it = all.find(key);
        return it == all.end() ? -1 : it->second;
    }
    template <class F>
    bool until(F cond, std::chrono::seconds limit = std::chrono::seconds(15)) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            if (cond()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }
    bool until(const std::string& key, int value, std::chrono::seconds limit) {
        return until([&] { return status(key) == value; }, limit);
    }

    const std::string bin = ZUNTO_BIN_DIR;
    storetest::TempDir dir;
    support::ChildProcess sim;
    support::ChildProcess app;
};

}  // namespace msgdesk::test
