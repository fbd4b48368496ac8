// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <memory>

namespace platform {

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;

constexpr unsigned WM_USER = 1024;

// A window message. The payload, when present, owns what lParam points to,
// so a message dropped at shutdown frees its record instead of leaking it.
struct Message {
    unsigned msg = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    std::shared_ptr<void> payload;
};

// Anything that receives window messages and timer ticks: the main frame's
// core, the dialer's core, views. Handlers always run on the window thread.
class MessageTarget {
public:
    virtual ~MessageTarget() = default;
    virtual std::intptr_t onMessage(const Message& m) = 0;
    virtual void onTimer(unsigned id) { (void)id; }
};

// The window thread's message queue and timers.
//  - post() may be called from any thread; messages from one thread arrive in
//    the order they were posted.
//  - send() runs the handler at once; it must be called on the window thread.
//  - setTimer() (re)arms a periodic timer by (target, id); killTimer() stops
//    it, also from inside its own handler.
//  - forget() drops every queued message and timer of a target that is going
//    away.
class MessageLoop {
public:
    virtual ~MessageLoop() = default;
    virtual void post(MessageTarget* target, Message m) = 0;
    virtual std::intptr_t send(MessageTarget* target, const Message& m) = 0;
    virtual void setTimer(MessageTarget* target, unsigned id, unsigned periodMs) = 0;
    virtual void killTimer(MessageTarget* target, unsigned id) = 0;
    virtual bool timerActive(MessageTarget* target, unsigned id) const = 0;
    virtual void forget(MessageTarget* target) = 0;

    void post(MessageTarget* t, unsigned msg, WPARAM w = 0, LPARAM l = 0) {
        post(t, Message{msg, w, l, nullptr});
    }
    std::intptr_t send(MessageTarget* t, unsigned msg, WPARAM w = 0, LPARAM l = 0) {
        return send(t, Message{msg, w, l, nullptr});
    }
};

}  // namespace platform
