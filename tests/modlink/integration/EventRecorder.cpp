// SPDX-License-Identifier: LGPL-2.1-or-later
#include "EventRecorder.h"

#include <chrono>
#include <thread>

int MODLINK_CALL EventRecorder::callback(unsigned event, const char* text, void* context,
                                         int param) {
    auto* self = static_cast<EventRecorder*>(context);
    std::lock_guard lock(self->m_mutex);
    ModlinkEvent e;
    e.code = event;
    if (text) e.text = text;
    e.param = param;
    self->m_events.push_back(e);
    self->m_cv.notify_all();
    return 0;
}

std::optional<ModlinkEvent> EventRecorder::take(unsigned code, int param, int timeoutMs) {
    std::unique_lock lock(m_mutex);
    std::optional<ModlinkEvent> found;
    m_cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        for (auto it = m_events.begin(); it != m_events.end(); ++it) {
            if (it->code == code && it->param == param) {
                found = *it;
                m_events.erase(it);
                return true;
            }
        }
        return false;
    });
    return found;
}

std::optional<std::vector<ModlinkEvent>> EventRecorder::takeListing(unsigned code, int param,
                                                                    int timeoutMs) {
    std::unique_lock lock(m_mutex);
    bool closed = m_cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        for (const auto& e : m_events)
            if (e.code == code && e.param == param && !e.text) return true;
        return false;
    });
    if (!closed) return std::nullopt;
    std::vector<ModlinkEvent> out, rest;
    bool done = false;
    for (auto& e : m_events) {
        if (!done && e.code == code && e.param == param) {
            if (!e.text)
                done = true;
            else
                out.push_back(e);
        } else {
            rest.push_back(e);
        }
    }
    m_events.swap(rest);
    return out;
}

std::vector<ModlinkEvent> EventRecorder::all(unsigned code) {
    std::lock_guard lock(m_mutex);
    std::vector<ModlinkEvent> out;
    for (const auto& e : m_events)
        if (e.code == code) out.push_back(e);
    return out;
}

std::vector<ModlinkEvent> EventRecorder::all(std::initializer_list<unsigned> codes) {
    std::lock_guard lock(m_mutex);
    std::vector<ModlinkEvent> out;
    for (const auto& e : m_events)
        for (unsigned c : codes)
            if (e.code == c) out.push_back(e);
    return out;
}

std::string EventRecorder::text(const std::optional<ModlinkEvent>& e) {
    if (!e) return "<no event>";
    return e->text ? *e->text : "<null>";
}

bool EventRecorder::waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
