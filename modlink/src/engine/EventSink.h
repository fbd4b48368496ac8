// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "modlink.h"

namespace modlink {

// Holds the registered callback and delivers events to it (on the calling
// worker thread), tracing each one.
class EventSink final {
public:
    static EventSink& instance();

    // Replaces the callback. Returns once no call of the previous one is
    // still running (except calls further up this thread's own stack, when
    // the callback itself registers another), so after set(nullptr) the old
    // callback is never called again.
    void set(ModlinkCallback callback, void* context);
    // False when no callback took the event.
    bool emit(unsigned event, const std::optional<std::string>& text, int param);

private:
    std::mutex m_mutex;
    std::condition_variable m_idle;
    ModlinkCallback m_callback = nullptr;
    void* m_context = nullptr;
    // Calls running, by the registration they started under.
    std::uint64_t m_generation = 0;
    std::map<std::uint64_t, int> m_running;
};

}  // namespace modlink
