// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "device/WindowMessages.h"
#include "phone/PhoneDialogCore.h"
#include "phone/PhoneIds.h"
#include "platform/ManualMessageLoop.h"

namespace msgdesk::test {

// Stands for the main frame: records each UM_PHONECOMMAND with a copy of
// the request, and may answer one at once as the frame does for a refusal.
struct PhoneFrame final : platform::MessageTarget {
    struct Command {
        int op;
        PhoneRequest req;
    };
    std::vector<Command> commands;
    std::function<void(int op)> onCommand;
    std::intptr_t onMessage(const platform::Message& m) override {
        if (m.msg != UM_PHONECOMMAND) return 0;
        commands.push_back(
            {static_cast<int>(m.wParam), *reinterpret_cast<PhoneRequest*>(m.lParam)});
        if (onCommand) onCommand(static_cast<int>(m.wParam));
        return 0;
    }
    std::vector<int> ops() const {
        std::vector<int> out;
        for (auto& c : commands) out.push_back(c.op);
        return out;
    }
    int count(int op) const {
        int n = 0;
        for (auto& c : commands) n += c.op == op;
        return n;
    }
};

class PhoneTest : public ::testing::Test {
protected:
    platform::ManualMessageLoop loop;
    platform::ScriptedMessageBox boxes;
    PhoneFrame frame;
    bool linkActive = true;
    int deviceCount = 1;
    std::set<int> removed;
    std::vector<std::string> statusWrites;
    std::unique_ptr<PhoneDialogCore> phone;

    void SetUp() override { make(20); }
    void make(int volume) {
        PhoneDialogCore::Ports p;
        p.frame = &frame;
        p.linkActive = [this] { return linkActive; };
        p.deviceCount = [this] { return deviceCount; };
        p.deviceAttached = [this](int d) { return d <= deviceCount && !removed.count(d); };
        p.changed = [this](PhoneDialogCore::Field f) {
            if (f == PhoneDialogCore::Field::Status) statusWrites.push_back(phone->status());
        };
        phone.reset();
        phone = std::make_unique<PhoneDialogCore>(loop, loop.clock(), boxes, std::move(p), volume);
    }
    void typeDigits(const std::string& s) {
        for (char c : s) phone->key(c);
    }
    void callNotify(platform::WPARAM w, const char* caller = "") {
        loop.send(phone.get(),
                  platform::Message{UM_CALLNOTIFY, w, reinterpret_cast<platform::LPARAM>(caller),
                                    nullptr});
    }
    void result(int op, int code) {
        loop.send(phone.get(), UM_PHONERESULT, static_cast<platform::WPARAM>(op), code);
    }
    std::string cells() const { return std::string(phone->cells().begin(), phone->cells().end()); }
    // An outgoing call that the status poll has found up.
    void connectOutgoing(const std::string& number) {
        typeDigits(number);
        phone->dialOrAnswer();
        result(phone::OP_QUERYSTATUS, 0);
    }
};

}  // namespace msgdesk::test
