#pragma once
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

    void set(ModlinkCallback callback, void* context);
    void emit(unsigned event, const std::optional<std::string>& text, int param);

private:
    std::mutex m_mutex;
    ModlinkCallback m_callback = nullptr;
    void* m_context = nullptr;
};

}  // namespace modlink
