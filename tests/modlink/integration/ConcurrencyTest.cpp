// SPDX-License-Identifier: LGPL-2.1-or-later
// The C interface used from several threads at once: CloseModules twice
// (once from inside the callback), RegistCallbackFunction while a callback
// runs, requests still queued when the link closes.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "EventRecorder.h"
#include "modlink.h"
#include "support/HostileModem.h"

namespace {

using namespace std::chrono_literals;

void attach(const std::string& ports) {
    ::setenv("MODLINK_PORTS", ports.c_str(), 1);
    ::setenv("MODLINK_USB", "0", 1);
    ::setenv("MODLINK_TIMEOUT_MS", "1000", 1);
}

bool waitFor(const std::atomic<bool>& flag) {
    for (int i = 0; i < 500 && !flag; ++i) std::this_thread::sleep_for(10ms);
    return flag;
}

// What the callbacks below do and saw.
struct Probe {
    HostileModem* other = nullptr;
    bool closeInside = false;
    std::atomic<bool> entered{false}, closedInside{false}, otherClosedThen{false}, done{false};
    std::atomic<int> calls{0};
};

int MODLINK_CALL slowCallback(unsigned event, const char*, void* context, int) {
    auto* p = static_cast<Probe*>(context);
    if (event != MODLINK_EV_SIGNAL) return 0;
    ++p->calls;
    p->entered = true;
    if (p->closeInside) {
        CloseModules();
        p->otherClosedThen = p->other->peerClosed();
        p->closedInside = true;
    }
    std::this_thread::sleep_for(300ms);
    p->done = true;
    return 0;
}

int MODLINK_CALL unregisteringCallback(unsigned, const char*, void* context, int) {
    RegistCallbackFunction(nullptr, nullptr);  // must not wait for itself
    ++static_cast<Probe*>(context)->calls;
    return 0;
}

}  // namespace

TEST(Concurrency, TwoClosesAtOnceBothReturnAfterTheWorkersStopped) {
    HostileModem first(HostileModem::Kind::Tcp), second(HostileModem::Kind::Tcp);
    ASSERT_TRUE(first.ok() && second.ok());
    attach(first.port() + "," + second.port());
    ASSERT_EQ(InitModules(), 0);
    Probe p;
    p.other = &second;
    p.closeInside = true;
    RegistCallbackFunction(&slowCallback, &p);
    ASSERT_GE(GetSignal(1), 0);
    ASSERT_TRUE(waitFor(p.closedInside));
    // The close inside the callback waited for the other worker...
    EXPECT_TRUE(p.otherClosedThen);
    // ...and this one, started while the callback still runs (it sleeps),
    // waits for the worker of the callback as well.
    CloseModules();
    EXPECT_TRUE(p.done);
    EXPECT_TRUE(first.peerClosed());
    EXPECT_TRUE(second.peerClosed());
    RegistCallbackFunction(nullptr, nullptr);
    // The link opens again afterwards.
    HostileModem third(HostileModem::Kind::Tcp);
    attach(third.port());
    EXPECT_EQ(InitModules(), 0);
    CloseModules();
}

TEST(Concurrency, NoCallbackRunsAfterUnregisteringReturns) {
    HostileModem modem(HostileModem::Kind::Pty);
    ASSERT_TRUE(modem.ok());
    attach(modem.port());
    ASSERT_EQ(InitModules(), 0);
    Probe p;
    RegistCallbackFunction(&slowCallback, &p);
    ASSERT_GE(GetSignal(1), 0);
    ASSERT_TRUE(waitFor(p.entered));
    RegistCallbackFunction(nullptr, nullptr);
    EXPECT_TRUE(p.done);  // it waited for the running call
    ASSERT_GE(GetSignal(1), 0);
    int csq = 0;
    for (int i = 0; i < 200 && csq < 2; ++i) {
        std::this_thread::sleep_for(10ms);
        csq = 0;
        for (const auto& c : modem.commands()) csq += c == "AT+CSQ";
    }
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(p.calls, 1);

    // A callback that unregisters itself does not wait for itself.
    Probe q;
    RegistCallbackFunction(&unregisteringCallback, &q);
    ASSERT_GE(GetSignal(1), 0);
    for (int i = 0; i < 200 && q.calls == 0; ++i) std::this_thread::sleep_for(10ms);
    EXPECT_EQ(q.calls, 1);
    CloseModules();
}

TEST(Concurrency, RequestsQueuedAtCloseAreAllAnswered) {
    // The centre query is never answered: the requests behind it wait.
    HostileModem modem(HostileModem::Kind::Tcp, [](const std::string& c) {
        return c == "AT+CSCA?" ? std::optional<std::string>("") : std::nullopt;
    });
    ASSERT_TRUE(modem.ok());
    attach(modem.port());
    ASSERT_EQ(InitModules(), 0);
    EventRecorder events;
    RegistCallbackFunction(&EventRecorder::callback, &events);
    std::vector<int> ids;
    for (int i = 0; i < 4; ++i) ids.push_back(GetGSMCenter(1));
    ASSERT_TRUE(modem.waitCommand("AT+CSCA?"));
    EXPECT_EQ(GetCommandCount(1), 4);
    CloseModules();
    for (int id : ids) {
        ASSERT_GE(id, 0);
        // Already there when CloseModules returns.
        EXPECT_EQ(EventRecorder::text(events.take(MODLINK_EV_GET_CENTER, id, 0)),
                  "ERROR: link closed")
            << id;
    }
    EXPECT_LT(GetGSMCenter(1), 0);  // refused now, not lost
    RegistCallbackFunction(nullptr, nullptr);
}
