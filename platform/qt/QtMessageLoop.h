// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>
#include <QTimer>
#include <map>
#include <memory>

#include "platform/MessageLoop.h"

namespace platform {

// The message loop of the programs: posted messages travel as queued Qt
// events to the GUI thread, timers are QTimers owned here.
class QtMessageLoop final : public QObject, public MessageLoop {
    Q_OBJECT
public:
    explicit QtMessageLoop(QObject* parent = nullptr);
    ~QtMessageLoop() override;

    void post(MessageTarget* target, Message m) override;
    std::intptr_t send(MessageTarget* target, const Message& m) override;
    void setTimer(MessageTarget* target, unsigned id, unsigned periodMs) override;
    void killTimer(MessageTarget* target, unsigned id) override;
    bool timerActive(MessageTarget* target, unsigned id) const override;
    void forget(MessageTarget* target) override;
    using MessageLoop::post;
    using MessageLoop::send;

private:
    void deliver(MessageTarget* target, const Message& m);
    std::map<std::pair<MessageTarget*, unsigned>, QTimer*> m_timers;
    std::shared_ptr<std::atomic<bool>> m_alive;
};

}  // namespace platform
