// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device/DeviceLink.h"
#include "device/SimPhonebook.h"
#include "msgdesk/FakeDeviceLibrary.h"
#include "platform/ManualMessageLoop.h"

namespace msgdesk::test {

// Ports that record what the link asked for, in order.
struct RecordingPorts final : DeviceLinkPorts {
    std::vector<std::string> log;
    std::vector<platform::Message> phone;         // sent to the phone dialog
    std::vector<std::string> phoneCaller;         // caller text of UM_CALLNOTIFY
    std::vector<platform::Message> deviceDialog;  // posted to the device dialog
    std::vector<DeviceSnapshot> simInfo;
    bool viewExists = true;
    bool phoneExists = true;
    bool batchRunning = false;
    int volume = -1;

    bool mainViewExists() override { return viewExists; }
    void redisplayContactPane() override { log.push_back("contacts"); }
    void refreshMessageListNames() override { log.push_back("names"); }
    void removeSimMessages(int d) override { log.push_back("simmsgs " + std::to_string(d)); }
    void startRinging() override { log.push_back("ring"); }
    void stopRinging() override { log.push_back("unring"); }
    bool phoneDialogExists() override { return phoneExists; }
    void showPhoneDialog() override { log.push_back("showphone"); }
    void sendToPhoneDialog(const platform::Message& m) override {
        phone.push_back(m);
        if (m.msg == UM_CALLNOTIFY)
            phoneCaller.emplace_back(reinterpret_cast<const char*>(m.lParam));
    }
    void postToDeviceDialog(const platform::Message& m) override { deviceDialog.push_back(m); }
    void openSimInfoView(const DeviceSnapshot& s) override { simInfo.push_back(s); }
    void showSimFullBitmap(bool v) override { log.push_back(v ? "bitmap on" : "bitmap off"); }
    bool sendBatchRunning() override { return batchRunning; }
    void clearSendBatch() override { log.push_back("clearbatch"); }
    void setVolumeSetting(int level) override { volume = level; }
    // The PIN dialog: what it was shown, and the answers scripted for it
    // (none left: cancel).
    std::vector<SimCodePrompt> prompts;
    std::deque<std::optional<SimCode>> codes;
    std::optional<SimCode> askSimCode(const SimCodePrompt& p) override {
        prompts.push_back(p);
        if (codes.empty()) return std::nullopt;
        auto c = codes.front();
        codes.pop_front();
        return c;
    }
};

// Whatever the link passes on to the rest of the main frame.
struct Sink final : platform::MessageTarget {
    std::vector<platform::Message> got;
    std::intptr_t onMessage(const platform::Message& m) override {
        got.push_back(m);
        return 0;
    }
    std::vector<platform::Message> of(unsigned msg) const {
        std::vector<platform::Message> out;
        for (auto& m : got)
            if (m.msg == msg) out.push_back(m);
        return out;
    }
    // (wParam, lParam) pairs of one message.
    std::vector<std::pair<long, long>> params(unsigned msg) const {
        std::vector<std::pair<long, long>> out;
        for (auto& m : of(msg)) out.emplace_back(static_cast<long>(m.wParam), m.lParam);
        return out;
    }
};

using Op = FakeDeviceLibrary::Op;

class DeviceLinkTest : public ::testing::Test {
protected:
    platform::ManualMessageLoop loop;
    FakeDeviceLibrary lib;
    SimPhonebook book;
    RecordingPorts ports;
    platform::ScriptedMessageBox boxes;
    Sink sink;
    std::unique_ptr<DeviceLink> link;

    void make(const DeviceLibrary& table) {
        link = std::make_unique<DeviceLink>(loop, nullptr, table, book, ports, boxes, &sink);
    }
    void make() { make(lib.table()); }

    // Connects with n devices and lets the start-up poll run: every centre
    // read, then the second phase, with capacities set when asked.
    void connectAndPoll(int n, bool answerPoll = true) {
        if (!link) make();
        lib.setDeviceCount(n);
        link->connect();
        loop.runUntilIdle();
        if (!answerPoll) return;
        loop.advance(5000);
        for (auto& c : lib.calls(Op::GetGSMCenter))
            lib.fire(258, ("+8613800" + std::to_string(c.a)).c_str(), c.result);
        loop.advance(5000);
        loop.runUntilIdle();
    }
    // Ids the link asked for with op, optionally for one device/argument.
    int lastId(Op op) { return lib.lastResult(op); }
    std::vector<unsigned> boxIds() const {
        std::vector<unsigned> out;
        for (auto& r : boxes.shown) out.push_back(r.stringId);
        return out;
    }
    SimPhoneEntry* addEntry(int device, int index, const char* number, const char* name) {
        auto e = std::make_unique<SimPhoneEntry>();
        e->device = device;
        e->index = index;
        e->setNumber(number);
        e->setName(name);
        return book.AppendSimEntry(std::move(e));
    }
    void send(unsigned msg, platform::WPARAM w, platform::LPARAM l) {
        loop.send(link.get(), msg, w, l);
    }
    template <class T>
    static platform::LPARAM lp(T* p) {
        return reinterpret_cast<platform::LPARAM>(p);
    }
};

}  // namespace msgdesk::test
