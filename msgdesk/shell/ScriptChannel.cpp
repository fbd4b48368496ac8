// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/ScriptChannel.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>

namespace msgdesk {

namespace {

constexpr std::size_t kMaxLine = 4096;

// "\0kelvo-msgdesk/<uid>/<hash of the folder>": one name per user and
// folder. The folder is made canonical so two spellings of one folder meet.
socklen_t addressFor(const std::filesystem::path& root, sockaddr_un& a) {
    std::error_code ec;
    std::filesystem::path canon = std::filesystem::weakly_canonical(root, ec);
    if (ec) canon = std::filesystem::absolute(root, ec);
    uint64_t h = 1469598103934665603ULL;  // FNV-1a
    for (unsigned char c : canon.string()) {
        h ^= c;
        h *= 1099511628211ULL;
    }
    std::memset(&a, 0, sizeof a);
    a.sun_family = AF_UNIX;
    char name[96];
    const int n =
        std::snprintf(name, sizeof name, "kelvo-msgdesk/%u/%016llx",
                      static_cast<unsigned>(::getuid()), static_cast<unsigned long long>(h));
    std::memcpy(a.sun_path + 1, name, static_cast<std::size_t>(n));
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + n);
}

// Reads up to a newline within the deadline; false on time-out, end of
// input before the newline, or an overlong line.
bool readLine(int fd, std::string& line, std::chrono::steady_clock::time_point end) {
    line.clear();
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              end - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) return false;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
        char buf[512];
        const ssize_t got = ::read(fd, buf, sizeof buf);
        if (got <= 0) return false;
        for (ssize_t i = 0; i < got; ++i) {
            if (buf[i] == '\n') return true;
            line.push_back(buf[i]);
        }
        if (line.size() > kMaxLine) return false;
    }
}

bool writeAll(int fd, const std::string& s) {
    std::size_t done = 0;
    while (done < s.size()) {
        const ssize_t w = ::send(fd, s.data() + done, s.size() - done, MSG_NOSIGNAL);
        if (w <= 0) return false;
        done += static_cast<std::size_t>(w);
    }
    return true;
}

}  // namespace

ScriptChannel::~ScriptChannel() {
    if (m_fd >= 0) ::close(m_fd);
}

bool ScriptChannel::listen(const std::filesystem::path& root) {
    if (m_fd >= 0) return true;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return false;
    sockaddr_un a;
    const socklen_t len = addressFor(root, a);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), len) != 0 || ::listen(fd, 8) != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

void ScriptChannel::serveOne(const std::function<std::string(const std::string&)>& answer) {
    if (m_fd < 0) return;
    const int c = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
    if (c < 0) return;
    ucred cred{};
    socklen_t credLen = sizeof cred;
    std::string line;
    // A client has a second to say what it wants; the window waits no longer.
    if (::getsockopt(c, SOL_SOCKET, SO_PEERCRED, &cred, &credLen) == 0 && cred.uid == ::getuid() &&
        readLine(c, line, std::chrono::steady_clock::now() + std::chrono::seconds(1)))
        writeAll(c, answer(line) + "\n");
    ::close(c);
}

std::optional<std::string> ScriptChannel::ask(const std::filesystem::path& root,
                                              const std::string& line, int timeoutMs,
                                              bool* connected) {
    if (connected) *connected = false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return std::nullopt;
    sockaddr_un a;
    const socklen_t len = addressFor(root, a);
    std::optional<std::string> reply;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), len) == 0 && writeAll(fd, line + "\n")) {
        if (connected) *connected = true;
        std::string got;
        if (readLine(fd, got,
                     std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs)))
            reply = got;
    }
    ::close(fd);
    return reply;
}

}  // namespace msgdesk
