// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <string>

#include "modlink.h"

namespace modlink::tool {

// Prints every callback event as one JSON line and lets main() wait for
// the answers it asked for.
class ToolEvents final {
public:
    static int MODLINK_CALL callback(unsigned event, const char* text, void* context, int param);

    // The request with this id (or the signal of this device) is answered
    // by its first event; listings by their closing event.
    // The answer may come before the expectation is set: then nothing is
    // awaited.
    void expectAnswer(int id);
    void expectSignal(int device);
    // Waits until everything expected came; false on time-out.
    bool wait(int seconds);
    bool anyError() const { return m_errors > 0; }
    void print(const std::string& json);
    // The last SIM state (event 4097) of a device; empty when none came.
    std::string simState(int device);

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::set<int> m_waiting;
    std::set<int> m_signals;
    std::set<int> m_answered;
    std::set<int> m_signalled;
    std::map<int, std::string> m_simStates;
    std::atomic<int> m_errors{0};
};

}  // namespace modlink::tool
