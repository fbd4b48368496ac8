// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtMessageLoop.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <atomic>
#include <mutex>

namespace platform {

namespace {
// Generations of targets, readable from any thread: a message carries the
// generation it was posted under and is dropped when the target has been
// forgotten since.
std::mutex g_genMutex;
std::map<MessageTarget*, uint64_t> g_gen;

uint64_t generationOf(MessageTarget* t) {
    std::lock_guard lk(g_genMutex);
    return g_gen[t];
}
}  // namespace

QtMessageLoop::QtMessageLoop(QObject* parent)
    : QObject(parent), m_alive(std::make_shared<std::atomic<bool>>(true)) {}

QtMessageLoop::~QtMessageLoop() {
    *m_alive = false;
    for (auto& [k, t] : m_timers) delete t;
}

void QtMessageLoop::post(MessageTarget* target, Message m) {
    uint64_t gen = generationOf(target);
    auto alive = m_alive;
    QMetaObject::invokeMethod(
        this,
        [this, target, m = std::move(m), gen, alive]() {
            if (!*alive || generationOf(target) != gen) return;
            deliver(target, m);
        },
        Qt::QueuedConnection);
}

void QtMessageLoop::deliver(MessageTarget* target, const Message& m) {
    if (target) target->onMessage(m);
}

std::intptr_t QtMessageLoop::send(MessageTarget* target, const Message& m) {
    return target ? target->onMessage(m) : 0;
}

void QtMessageLoop::setTimer(MessageTarget* target, unsigned id, unsigned periodMs) {
    auto& slot = m_timers[{target, id}];
    if (!slot) {
        slot = new QTimer(this);
        QObject::connect(slot, &QTimer::timeout, this, [target, id] { target->onTimer(id); });
    }
    slot->start(static_cast<int>(periodMs));
}

void QtMessageLoop::killTimer(MessageTarget* target, unsigned id) {
    auto it = m_timers.find({target, id});
    if (it == m_timers.end()) return;
    // The timer may be the one whose handler is running: stop now, delete later.
    it->second->stop();
    it->second->deleteLater();
    m_timers.erase(it);
}

bool QtMessageLoop::timerActive(MessageTarget* target, unsigned id) const {
    return m_timers.count({target, id}) != 0;
}

void QtMessageLoop::forget(MessageTarget* target) {
    {
        std::lock_guard lk(g_genMutex);
        ++g_gen[target];
    }
    for (auto it = m_timers.begin(); it != m_timers.end();) {
        if (it->first.first == target) {
            it->second->stop();
            it->second->deleteLater();
            it = m_timers.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace platform
