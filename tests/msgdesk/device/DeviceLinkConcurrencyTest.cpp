// SPDX-License-Identifier: GPL-3.0-or-later
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "device/ReceivedSms.h"
#include "msgdesk/device/DeviceLinkFixture.h"

namespace msgdesk::test {
namespace {

// Library threads fire thousands of events while the window thread adds and
// removes pending rows and handles what they post. Run under
// ThreadSanitizer (-DZUNTO_SANITIZE=thread) to check the locking.
TEST_F(DeviceLinkTest, EventsFromSeveralThreadsWhileTheWindowThreadWorks) {
    constexpr int kThreads = 4;
    constexpr int kPerThread = 1000;
    make();
    lib.setDeviceCount(kThreads);
    link->connect();
    loop.runUntilIdle();
    std::vector<int> listing(kThreads + 1);
    for (int d = 1; d <= kThreads; ++d) {
        listing[d] = 900000 + d;
        link->pending().add(listing[d], d, "NULL");
        link->devices().setPhonebookCapacity(d, kPerThread / 2);
    }

    std::atomic<int> running{kThreads};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, d = t + 1] {
            for (int i = 1; i <= kPerThread; ++i) {
                const std::string entry =
                    "\"" + std::to_string(i) + "\",\"1380000" + std::to_string(i) + "\",\"n\"";
                lib.fire(516, entry.c_str(), listing[d]);
                lib.fire(4, std::to_string(i % 40).c_str(), d);
                // Answers for rows the window thread may or may not hold.
                lib.fire(i % 2 ? 514 : 513, i % 3 ? "OK" : "ERROR", 100000 + i % 64);
                lib.fire(264, std::to_string(i).c_str(), d);
                lib.fire(261, "\"1\",\"030215093007\",\"x\"", lib.lastResult(Op::GetSMSMessage));
                lib.fire(3842, "\"1/50\"", 100000 + i % 64);
                lib.fire(771, "OK", 0);
            }
            --running;
        });
    }
    int round = 0;
    while (running.load() > 0) {
        for (int k = 0; k < 8; ++k) link->pending().add(100000 + (round * 8 + k) % 64, 1, "NULL");
        for (int k = 0; k < 4; ++k) link->pending().remove(100000 + (round * 4 + k) % 64);
        (void)link->devices().slot(1 + round % kThreads);
        (void)link->isBusy();
        loop.runUntilIdle();
        ++round;
    }
    for (auto& th : threads) th.join();
    loop.runUntilIdle();

    int signals = 0;
    for (auto& m : sink.of(UM_STATUSPANE)) signals += m.wParam == PANE_SIGNAL;
    EXPECT_EQ(signals, kThreads * kPerThread);
    for (int d = 1; d <= kThreads; ++d) {
        const auto& list = book.list(d);
        ASSERT_EQ(list.size(), static_cast<size_t>(kPerThread)) << d;
        for (int i = 0; i < kPerThread; ++i) ASSERT_EQ(list[i]->index, i + 1) << d;
        // Raised only below capacity; device 1 also sees the stores and
        // deletes answered for the window thread's rows.
        if (d > 1) {
            EXPECT_EQ(link->devices().slot(d).phonebookUsed, kPerThread / 2) << d;
        }
    }
    auto records = sink.of(UM_SIMRECORD);
    EXPECT_GT(records.size(), 0u);
    for (auto& m : records) {
        const auto* r = static_cast<const ReceivedSms*>(m.payload.get());
        ASSERT_TRUE(r->fromSimListing);
        ASSERT_EQ(r->body, "x");
        ASSERT_TRUE(r->device >= 1 && r->device <= kThreads);
    }
}

// A device thread may answer a request made on the window thread before the
// request call has returned there. Each hook below answers at once from
// another thread and waits (bounded) for that answer to be handled; the answer
// must still find its pending row.
class AnswerBeforeReturn : public DeviceLinkTest {
protected:
    std::mutex mutex;
    std::condition_variable cv;
    bool answered = false;
    std::vector<std::thread> answering;

    void answerAtOnce(FakeDeviceLibrary::Op op, unsigned event, const char* text) {
        lib.onCall(op, [this, event, text](const FakeDeviceLibrary::Call& c) {
            if (c.result == -1) return;
            {
                std::lock_guard g(mutex);
                answered = false;
            }
            answering.emplace_back([this, event, text, id = c.result] {
                lib.fire(event, text, id);
                std::lock_guard g(mutex);
                answered = true;
                cv.notify_all();
            });
            std::unique_lock lk(mutex);
            cv.wait_for(lk, std::chrono::milliseconds(200), [this] { return answered; });
        });
    }
    void TearDown() override {
        for (auto& t : answering) t.join();
    }
};

TEST_F(AnswerBeforeReturn, PhonebookDeleteAnswerIsNotLost) {
    connectAndPoll(1);
    auto e = std::make_unique<SimPhoneEntry>();
    e->device = 1;
    e->index = 3;
    e->setNumber("10086");
    SimPhoneEntry* entry = book.AppendSimEntry(std::move(e));
    const size_t rowsBefore = link->pending().count();
    answerAtOnce(Op::DelTelphone, 513, "OK");
    loop.send(link.get(), UM_DELETESIMENTRY, 0, reinterpret_cast<platform::LPARAM>(entry));
    for (auto& t : answering) t.join();
    answering.clear();
    loop.runUntilIdle();
    EXPECT_TRUE(book.list(1).empty());
    EXPECT_EQ(link->deleteBatch().outstanding, 0);
    EXPECT_EQ(link->pending().count(), rowsBefore);
}

TEST_F(AnswerBeforeReturn, PhonebookListingFromTheStartUpPollIsNotLost) {
    make();
    lib.setDeviceCount(1);
    link->connect();
    loop.runUntilIdle();
    loop.advance(5000);
    for (auto& c : lib.calls(Op::GetGSMCenter)) lib.fire(258, "+8613800", c.result);
    answerAtOnce(Op::GetSavedTelphone, 516, "\"1\",\"10086\",\"a\"");
    loop.advance(5000);
    for (auto& t : answering) t.join();
    answering.clear();
    loop.runUntilIdle();
    EXPECT_EQ(book.list(1).size(), 1u);
}

}  // namespace
}  // namespace msgdesk::test
