// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "msgdesk/device/DeviceLinkFixture.h"
#include "msgdesk/store/StoreTestSupport.h"
#include "store/MailboxStore.h"
#include "store/Receiver.h"
#include "store/SendPump.h"
#include "types/Settings.h"

namespace msgdesk::test {

using Trace = std::vector<std::pair<unsigned, std::pair<long, long>>>;

// The main frame as receiving and sending see it: the device link passes on
// what it does not handle, receiving and the pump take theirs, the rest is
// recorded in order.
struct RecvSendFrame final : platform::MessageTarget {
    Receiver* receiver = nullptr;
    SendPump* pump = nullptr;
    std::vector<platform::Message> got;
    std::intptr_t onMessage(const platform::Message& m) override {
        got.push_back(m);
        std::intptr_t r = 0;
        if (receiver && receiver->handleMessage(m, &r)) return r;
        if (pump && pump->handleMessage(m, &r)) return r;
        return 0;
    }
    std::vector<std::pair<unsigned, std::pair<long, long>>> trace(
        std::vector<unsigned> msgs) const {
        std::vector<std::pair<unsigned, std::pair<long, long>>> out;
        for (auto& m : got)
            for (unsigned w : msgs)
                if (m.msg == w) out.push_back({m.msg, {static_cast<long>(m.wParam), m.lParam}});
        return out;
    }
    int count(unsigned msg) const {
        int n = 0;
        for (auto& m : got) n += m.msg == msg;
        return n;
    }
};

class RecvSendTest : public DeviceLinkTest {
protected:
    storetest::TempDir dir;
    Settings settings;
    std::unique_ptr<MailboxStore> store;
    RecvSendFrame frame;
    std::unique_ptr<Receiver> receiver;
    std::unique_ptr<SendPump> pump;
    std::map<std::string, std::string> names;  // lookup key -> name
    std::vector<std::string> lookedUp;
    std::vector<std::string> played;
    std::vector<platform::Notification> notices;
    std::vector<platform::Message> dialog;
    int animations = 0;
    std::int64_t nowSeconds = 1'700'000'000;  // the receiver's clock

    void SetUp() override {
        settings.Sound = 0;
        link = std::make_unique<DeviceLink>(loop, nullptr, lib.table(), book, ports, boxes, &frame);
        openStore();
        connectAndPoll(2);
        loop.runUntilIdle();
        frame.got.clear();
        lib.clearCalls();
    }
    void TearDown() override {
        frame.receiver = nullptr;
        frame.pump = nullptr;
    }
    // (Re)opens the mailboxes from the files, as a start of the program does.
    void openStore() {
        frame.receiver = nullptr;
        frame.pump = nullptr;
        pump.reset();
        receiver.reset();
        store = std::make_unique<MailboxStore>(
            loop, dir.path, [this](platform::Message m) { loop.post(&frame, std::move(m)); });
        store->BackupMailboxes();
        Receiver::Ports rp;
        rp.lookupName = [this](const std::string& n) {
            lookedUp.push_back(n);
            auto it = names.find(n);
            return it == names.end() ? std::string() : it->second;
        };
        rp.postToDeviceDialog = [this](const platform::Message& m) { dialog.push_back(m); };
        rp.playSound = [this](const std::string& p) {
            played.push_back(p);
            return true;
        };
        rp.retry = [this](int device, int failures, std::function<bool(int)> attempt) {
            return link->retries().schedule(device, failures, std::move(attempt));
        };
        rp.notify = [this](const platform::Notification& n) { notices.push_back(n); };
        rp.now = [this] { return nowSeconds; };
        receiver = std::make_unique<Receiver>(loop, &frame, link->library(), link->devices(),
                                              link->pending(), *store, settings, boxes, rp);
        SendPump::Ports sp;
        sp.linkActive = [this] { return link->linkActive(); };
        sp.startAnimation = [this] { ++animations; };
        pump = std::make_unique<SendPump>(loop, &frame, link->library(), link->devices(), *store,
                                          loop.clock(), settings, sp);
        frame.receiver = receiver.get();
        frame.pump = pump.get();
    }

    Mailbox& inbox() { return store->box(InBox); }
    Mailbox& outbox() { return store->box(OutBox); }
    Mailbox& sentbox() { return store->box(SentBox); }

    // A new message on device's SIM at index: notice, read, answer.
    void receive(int device, int index, const std::string& answer) {
        lib.fire(259, std::to_string(index).c_str(), device);
        lib.fire(261, answer.c_str(), lib.lastResult(Op::GetSMSMessage));
        loop.runUntilIdle();
    }
    static std::string smsText(const std::string& number, const std::string& stamp,
                               const std::string& body) {
        return "\"" + number + "\",\"" + stamp + "\",\"" + body + "\"";
    }
    // A part of a concatenated message as the library reads it.
    static std::string partText(const std::string& number, const std::string& stamp,
                                const std::string& body, int ref, int part, int total) {
        return smsText(number, stamp, body) + ",\"" + std::to_string(ref) + ":" +
               std::to_string(part) + ":" + std::to_string(total) + "\"";
    }
    int messageCount(int device) { return link->devices().slot(device).messageCount; }

    // The compose dialog's rows for these numbers.
    void compose(std::vector<std::string> numbers, const std::string& text = "hello") {
        std::vector<MessageRecord> rows;
        for (auto& n : numbers) rows.push_back(storetest::rec(n, text));
        pump->appendComposed(rows);
        loop.runUntilIdle();
    }
    // Answers the send id with OK, ERROR, TIMEOUT or anything else.
    void answer(int sendId, const char* text) {
        lib.fire(260, text, sendId);
        loop.runUntilIdle();
    }
    std::vector<int> sendIds() {
        std::vector<int> out;
        for (auto& c : lib.calls(Op::SendSMSMessage)) out.push_back(c.result);
        return out;
    }
};

}  // namespace msgdesk::test
