// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <condition_variable>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "modlink.h"

struct ModlinkEvent {
    unsigned code = 0;
    std::optional<std::string> text;  // GBK as delivered
    int param = 0;
};

// Collects the library's callback events; tests wait on a condition
// variable with a bound, never sleep.
class EventRecorder final {
public:
    static int MODLINK_CALL callback(unsigned event, const char* text, void* context, int param);

    // Removes and returns the first event with this code and param, waiting
    // up to timeoutMs for it.
    std::optional<ModlinkEvent> take(unsigned code, int param, int timeoutMs = 5000);
    // Waits for the closing (null text) event of a listing and returns the
    // listing's events in order, the closing one excluded.
    std::optional<std::vector<ModlinkEvent>> takeListing(unsigned code, int param,
                                                         int timeoutMs = 10000);
    // Events with this code that arrived so far (for "nothing else came").
    std::vector<ModlinkEvent> all(unsigned code);
    // Events with any of these codes, in the order they arrived.
    std::vector<ModlinkEvent> all(std::initializer_list<unsigned> codes);
    // Text of an event, or "<null>".
    static std::string text(const std::optional<ModlinkEvent>& e);

    // Waits (bounded, polling) until a condition on the library holds, for
    // state that is not announced by an event.
    static bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::vector<ModlinkEvent> m_events;
};
