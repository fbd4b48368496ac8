// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>

namespace modlink {

// The AT trace users attach to a report: with MODLINK_TRACE naming a file,
// every line sent and received and every event delivered is appended as one
// JSON line with a UTC time stamp and the device.
class Trace final {
public:
    static Trace& instance();

    void open();   // reads MODLINK_TRACE; called by InitModules
    void close();  // called by CloseModules
    bool enabled() const { return m_file != nullptr; }

    void line(int device, std::string_view direction, std::string_view text);
    void note(int device, std::string_view text);
    void event(unsigned event, int param, const char* gbkText);

private:
    void write(const std::string& json);
    std::mutex m_mutex;
    std::atomic<std::FILE*> m_file{nullptr};
};

}  // namespace modlink
