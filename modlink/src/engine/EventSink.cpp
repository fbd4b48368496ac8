#include "EventSink.h"

#include "Trace.h"

namespace modlink {

EventSink& EventSink::instance() {
    static EventSink s;
    return s;
}

void EventSink::set(ModlinkCallback callback, void* context) {
    std::lock_guard lock(m_mutex);
    m_callback = callback;
    m_context = context;
}

void EventSink::emit(unsigned event, const std::optional<std::string>& text, int param) {
    ModlinkCallback cb;
    void* ctx;
    {
        std::lock_guard lock(m_mutex);
        cb = m_callback;
        ctx = m_context;
    }
    const char* t = text ? text->c_str() : nullptr;
    Trace::instance().event(event, param, t);
    // Called without the lock: the callback may call back into the library.
    if (cb) cb(event, t, ctx, param);
}

}  // namespace modlink
