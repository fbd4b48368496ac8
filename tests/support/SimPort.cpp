// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/SimPort.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

int leftMs(Clock::time_point deadline) {
    auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// The end of a reply: a final result code on a line of its own.
bool hasFinal(const std::string& s) {
    for (const char* f : {"\r\nOK\r\n", "ERROR", "\r\nNO CARRIER\r\n", "\r\nBUSY\r\n",
                          "\r\nCONNECT", "\r\nNO ANSWER\r\n", "\r\n> "}) {
        auto at = s.find(f);
        if (at == std::string::npos) continue;
        // "+CME ERROR: n" and the like end with their line.
        if (std::string(f) == "ERROR") return s.find("\r\n", at) != std::string::npos;
        if (std::string(f) == "\r\nCONNECT") return s.find("\r\n", at + 2) != std::string::npos;
        return true;
    }
    return false;
}

}  // namespace

SimPort::SimPort(const std::string& path) {
    m_fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_fd < 0) return;
    termios t{};
    ::tcgetattr(m_fd, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(m_fd, TCSANOW, &t);
}

SimPort::~SimPort() {
    if (m_fd >= 0) ::close(m_fd);
}

void SimPort::write(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(m_fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

bool SimPort::readSome(int timeoutMs) {
    pollfd p{m_fd, POLLIN, 0};
    if (::poll(&p, 1, timeoutMs) <= 0) return false;
    char buf[1024];
    ssize_t n = ::read(m_fd, buf, sizeof buf);
    if (n <= 0) return false;
    m_buffer.append(buf, static_cast<std::size_t>(n));
    return true;
}

std::string SimPort::readUntil(const std::string& needle, int timeoutMs) {
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (m_buffer.find(needle) == std::string::npos && leftMs(deadline) > 0)
        readSome(leftMs(deadline));
    std::string all;
    all.swap(m_buffer);
    return all;
}

std::string SimPort::command(const std::string& line, int timeoutMs) {
    write(line + "\r");
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!hasFinal(m_buffer) && leftMs(deadline) > 0) readSome(leftMs(deadline));
    std::string all;
    all.swap(m_buffer);
    return all;
}

std::string SimPort::drain(int ms) {
    auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    while (leftMs(deadline) > 0) readSome(leftMs(deadline));
    std::string all;
    all.swap(m_buffer);
    return all;
}
