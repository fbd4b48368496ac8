// SPDX-License-Identifier: LGPL-2.1-or-later
#include "Trace.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>

#include "Json.h"
#include "platform/Codepage.h"
#include "platform/PrivateFiles.h"

namespace modlink {

namespace {
std::string stamp() {
    auto now = std::chrono::system_clock::now();
    auto t = std::chrono::system_clock::to_time_t(now);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()) % 1000;
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buf[40];
    std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S", &tm);
    char out[48];
    std::snprintf(out, sizeof out, "%s.%03dZ", buf, static_cast<int>(ms.count()));
    return out;
}
}  // namespace

Trace& Trace::instance() {
    static Trace t;
    return t;
}

void Trace::open() {
    std::lock_guard lock(m_mutex);
    if (m_file) return;
    const char* path = std::getenv("MODLINK_TRACE");
    if (!path || !*path) return;
    // Numbers and texts pass through the trace: readable by the user only.
    const int fd = platform::openPrivate(path, O_WRONLY | O_CREAT | O_APPEND);
    if (fd >= 0 && !(m_file = ::fdopen(fd, "a"))) ::close(fd);
}

void Trace::close() {
    std::lock_guard lock(m_mutex);
    if (std::FILE* f = m_file.exchange(nullptr)) std::fclose(f);
}

void Trace::write(const std::string& json) {
    std::lock_guard lock(m_mutex);
    std::FILE* f = m_file;
    if (!f) return;
    std::fputs(json.c_str(), f);
    std::fputc('\n', f);
    std::fflush(f);
}

void Trace::line(int device, std::string_view direction, std::string_view text) {
    if (!m_file) return;
    write("{\"time\":\"" + stamp() + "\",\"device\":" + std::to_string(device) + ",\"" +
          std::string(direction) + "\":" + jsonString(text) + "}");
}

void Trace::note(int device, std::string_view text) {
    line(device, "note", text);
}

void Trace::event(unsigned event, int param, const char* gbkText) {
    if (!m_file) return;
    write("{\"time\":\"" + stamp() + "\",\"event\":" + std::to_string(event) +
          ",\"param\":" + std::to_string(param) + ",\"text\":" +
          (gbkText ? jsonString(platform::codepage::gbkToUtf8(gbkText)) : std::string("null")) +
          "}");
}

}  // namespace modlink
