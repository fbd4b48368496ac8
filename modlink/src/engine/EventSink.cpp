// SPDX-License-Identifier: LGPL-2.1-or-later
#include "EventSink.h"

#include "Trace.h"

namespace modlink {

namespace {
// Callbacks running on this thread: a callback that registers another must
// not wait for itself.
thread_local int t_depth = 0;
}  // namespace

EventSink& EventSink::instance() {
    static EventSink s;
    return s;
}

void EventSink::set(ModlinkCallback callback, void* context) {
    std::unique_lock lock(m_mutex);
    m_callback = callback;
    m_context = context;
    const std::uint64_t current = ++m_generation;
    // Every call of this thread started before now, under an older one.
    m_idle.wait(lock, [&] {
        int older = 0;
        for (auto& [generation, n] : m_running)
            if (generation < current) older += n;
        return older <= t_depth;
    });
}

bool EventSink::emit(unsigned event, const std::optional<std::string>& text, int param) {
    ModlinkCallback cb;
    void* ctx;
    std::uint64_t generation;
    const char* t = text ? text->c_str() : nullptr;
    Trace::instance().event(event, param, t);
    {
        std::lock_guard lock(m_mutex);
        cb = m_callback;
        ctx = m_context;
        generation = m_generation;
        if (!cb) return false;
        ++m_running[generation];
    }
    // Called without the lock: the callback may call back into the library.
    ++t_depth;
    cb(event, t, ctx, param);
    --t_depth;
    std::lock_guard lock(m_mutex);
    if (--m_running[generation] == 0) m_running.erase(generation);
    m_idle.notify_all();
    return true;
}

}  // namespace modlink
