// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "EventRecorder.h"
#include "modlink.h"
#include "support/SimProcess.h"

using support::SimProcess;

// Two simulated modems on pseudo-terminals, the link up, events recorded.
// Time-outs are short (MODLINK_TIMEOUT_MS) so failure cases run quickly.
// Opens the link as it is set up in the environment, checks it attached
// exactly one device that answers the signal the simulator is given, and
// closes it again.
inline void expectOneDeviceAnswering(support::SimProcess& sim, int rssi) {
    EventRecorder events;
    ASSERT_EQ(InitModules(), 0);
    RegistCallbackFunction(&EventRecorder::callback, &events);
    int count = 0;
    GetActiveDeviceCount(&count);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(sim.control("signal 1 " + std::to_string(rssi)), "OK");
    GetSignal(1);
    EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_SIGNAL, 1)), std::to_string(rssi));
    CloseModules();
    RegistCallbackFunction(nullptr, nullptr);
}

class ModlinkFixture : public ::testing::Test {
protected:
    static constexpr int kTimeoutMs = 1000;

    static constexpr int kSendTimeoutMs = 1500;

    // What a fixture derived from this one runs the simulator with.
    virtual int simDevices() const { return 2; }
    virtual std::vector<std::string> simArgs() const { return {}; }

    void SetUp() override {
        sim = std::make_unique<SimProcess>(simDevices(), simArgs());
        ASSERT_TRUE(sim->ok());
        ::setenv("MODLINK_PORTS", sim->portList().c_str(), 1);
        ::setenv("MODLINK_USB", "0", 1);
        ::setenv("MODLINK_TIMEOUT_MS", std::to_string(kTimeoutMs).c_str(), 1);
        ::setenv("MODLINK_SEND_TIMEOUT_MS", std::to_string(kSendTimeoutMs).c_str(), 1);
        ASSERT_EQ(InitModules(), 0);
        RegistCallbackFunction(&EventRecorder::callback, &events);
    }

    void TearDown() override {
        CloseModules();
        RegistCallbackFunction(nullptr, nullptr);
        sim.reset();
    }

    std::unique_ptr<SimProcess> sim;
    EventRecorder events;
};
