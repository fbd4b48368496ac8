// SPDX-License-Identifier: LGPL-2.1-or-later
// The per-device request queue: order, count, withdrawal of requests that
// have not started, and answers for requests left when the port goes away.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <future>
#include <mutex>

#include "engine/DeviceWorker.h"
#include "support/SocketPairModem.h"
#include "transport/FdTransport.h"

using namespace modlink;

namespace {

struct Gate {
    std::mutex m;
    std::condition_variable cv;
    bool open = false;
    int started = 0;
    std::vector<int> ran;
    std::vector<int> aborted;
    std::vector<std::string> why;
    void release() {
        std::lock_guard l(m);
        open = true;
        cv.notify_all();
    }
    bool waitRan(std::size_t n) {
        std::unique_lock l(m);
        return cv.wait_for(l, std::chrono::seconds(5),
                           [&] { return ran.size() + aborted.size() >= n; });
    }
};

std::shared_ptr<Request> request(int id, Gate& g, bool withdrawable, bool block) {
    auto r = std::make_shared<Request>();
    r->id = id;
    r->withdrawable = withdrawable;
    r->run = [&g, id, block](AtChannel&, DeviceState&) {
        std::unique_lock l(g.m);
        ++g.started;
        g.cv.notify_all();
        if (block) g.cv.wait_for(l, std::chrono::seconds(5), [&] { return g.open; });
        g.ran.push_back(id);
        g.cv.notify_all();
    };
    r->abort = [&g, id](const std::string& why) {
        std::lock_guard l(g.m);
        g.aborted.push_back(id);
        g.why.push_back(why);
        g.cv.notify_all();
    };
    return r;
}

}  // namespace

TEST(DeviceWorker, QueueRunsInOrderAndWithdrawsOnlyWhatMayBeWithdrawn) {
    support::SocketPairModem modem;
    DeviceWorker w(1, std::make_unique<FdTransport>(modem.takeNearEnd(), "pair", true));
    ASSERT_TRUE(w.start([](AtChannel&, DeviceState&) { return true; }));
    Gate g;
    ASSERT_TRUE(w.submit(request(1, g, false, true)));
    ASSERT_TRUE(w.submit(request(2, g, true, false)));
    ASSERT_TRUE(w.submit(request(3, g, false, false)));
    ASSERT_TRUE(w.submit(request(4, g, true, false)));
    EXPECT_EQ(w.commandCount(), 4);
    EXPECT_FALSE(w.cancel(3));  // not withdrawable
    EXPECT_TRUE(w.cancel(4));
    EXPECT_FALSE(w.cancel(4));  // already gone
    EXPECT_FALSE(w.cancel(1));  // running
    EXPECT_EQ(w.commandCount(), 3);
    g.release();
    ASSERT_TRUE(g.waitRan(3));
    EXPECT_EQ(g.ran, (std::vector<int>{1, 2, 3}));
    w.stop();
    modem.closeFar();
}

TEST(DeviceWorker, LostPortAnswersWhatWasQueued) {
    support::SocketPairModem modem;
    DeviceWorker w(1, std::make_unique<FdTransport>(modem.takeNearEnd(), "pair", true));
    ASSERT_TRUE(w.start([](AtChannel&, DeviceState&) { return true; }));
    Gate g;
    // The first request pulls the plug while the others wait behind it
    // (once they are queued: else they would be refused, not answered).
    std::promise<void> queued;
    auto allQueued = queued.get_future();
    auto first = std::make_shared<Request>();
    first->id = 1;
    first->run = [&](AtChannel& ch, DeviceState&) {
        allQueued.wait();
        modem.closeFar();
        at::AtCommand c;
        c.text = "AT";
        ch.execute(c);
    };
    // EXPECT, not ASSERT: the worker must be released whatever happens.
    EXPECT_TRUE(w.submit(first));
    EXPECT_TRUE(w.submit(request(2, g, false, false)));
    EXPECT_TRUE(w.submit(request(3, g, true, false)));
    queued.set_value();
    ASSERT_TRUE(g.waitRan(2));
    EXPECT_TRUE(g.ran.empty());
    EXPECT_EQ(g.aborted, (std::vector<int>{2, 3}));
    EXPECT_EQ(g.why, std::vector<std::string>(2, "ERROR: device unplugged"));
    EXPECT_FALSE(w.alive());
    EXPECT_FALSE(w.submit(request(4, g, false, false)));
}

// Requests still queued when the link closes are answered, every time,
// before the worker counts as finished (so before CloseModules returns).
TEST(DeviceWorker, StopAnswersWhatWasQueued) {
    support::SocketPairModem modem;
    DeviceWorker w(1, std::make_unique<FdTransport>(modem.takeNearEnd(), "pair", true));
    ASSERT_TRUE(w.start([](AtChannel&, DeviceState&) { return true; }));
    Gate g;
    EXPECT_TRUE(w.submit(request(1, g, false, true)));
    EXPECT_TRUE(w.submit(request(2, g, false, false)));
    EXPECT_TRUE(w.submit(request(3, g, true, false)));
    {
        std::unique_lock l(g.m);
        g.cv.wait_for(l, std::chrono::seconds(5), [&] { return g.started == 1; });
    }
    EXPECT_FALSE(w.finished());
    w.stop();
    EXPECT_FALSE(w.submit(request(4, g, false, false)));  // refused, not lost
    g.release();
    ASSERT_TRUE(w.waitFinished(5000));
    std::lock_guard l(g.m);
    EXPECT_EQ(g.ran, std::vector<int>{1});
    EXPECT_EQ(g.aborted, (std::vector<int>{2, 3}));
    EXPECT_EQ(g.why, std::vector<std::string>(2, "ERROR: link closed"));
    modem.closeFar();
}
