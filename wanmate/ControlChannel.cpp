// SPDX-License-Identifier: GPL-3.0-or-later
#include "ControlChannel.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/RunDir.h"

namespace wanmate {

namespace fs = std::filesystem;

namespace {
constexpr const char* kRequests[] = {"connect", "connect wait", "disconnect", "status"};

bool fillAddress(const fs::path& path, sockaddr_un& a) {
    a = {};
    a.sun_family = AF_UNIX;
    if (path.string().size() >= sizeof a.sun_path) return false;
    std::strcpy(a.sun_path, path.c_str());
    return true;
}

void sendAll(int fd, const std::string& s) {
    size_t off = 0;
    while (off < s.size()) {
        ssize_t n = ::send(fd, s.data() + off, s.size() - off, MSG_NOSIGNAL);
        if (n <= 0) return;
        off += size_t(n);
    }
}
}  // namespace

std::optional<ControlRequest> parseControlRequest(const std::string& line) {
    for (int i = 0; i < 4; ++i)
        if (line == kRequests[i]) return ControlRequest(i);
    return std::nullopt;
}

const char* controlRequestText(ControlRequest r) {
    return kRequests[int(r)];
}

ControlReply::~ControlReply() {
    if (m_fd >= 0) done(1);
}

void ControlReply::line(const std::string& text) {
    if (m_fd >= 0) sendAll(m_fd, text + "\n");
}

void ControlReply::done(int status) {
    if (m_fd < 0) return;
    sendAll(m_fd, "exit " + std::to_string(status) + "\n");
    ::close(m_fd);
    m_fd = -1;
}

ControlServer::ControlServer(fs::path socket, Handler handler)
    : m_path(std::move(socket)), m_handler(std::move(handler)) {}

ControlServer::~ControlServer() {
    if (m_fd < 0) return;
    ::close(m_fd);
    ::unlink(m_path.c_str());
}

bool ControlServer::listen(std::string* why) {
    if (!platform::ensurePrivateDir(m_path.parent_path(), why)) return false;
    sockaddr_un a;
    if (!fillAddress(m_path, a)) {
        if (why) *why = m_path.string() + ": the path is too long for a socket";
        return false;
    }
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return false;
    ::unlink(m_path.c_str());
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, 8) != 0) {
        if (why) *why = m_path.string() + ": " + std::strerror(errno);
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

void ControlServer::onReadable() {
    int c = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
    if (c < 0) return;
    ucred cred{};
    socklen_t len = sizeof cred;
    // The directory keeps others out already; this is a second lock.
    if (::getsockopt(c, SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0 ||
        (cred.uid != ::geteuid() && cred.uid != 0)) {
        ::close(c);
        return;
    }
    // The asking command writes its line at once; a silent one is dropped.
    timeval tv{1, 0};
    ::setsockopt(c, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    std::string line;
    char ch;
    while (line.size() < 64 && ::recv(c, &ch, 1, 0) == 1 && ch != '\n') line += ch;
    auto reply = std::make_shared<ControlReply>(c);
    auto request = parseControlRequest(line);
    if (!request) {
        reply->line("wanmate: unknown request \"" + line.substr(0, 40) + "\"");
        reply->done(2);
        return;
    }
    m_handler(*request, reply);
}

int runControlClient(const fs::path& socket, ControlRequest request, std::FILE* out,
                     std::FILE* err) {
    sockaddr_un a;
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || !fillAddress(socket, a) ||
        ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        std::fprintf(err, "wanmate: no dialer is running (nothing answers at %s)\n",
                     socket.c_str());
        if (fd >= 0) ::close(fd);
        return 1;
    }
    sendAll(fd, std::string(controlRequestText(request)) + "\n");
    std::string pending;
    char buf[512];
    ssize_t n;
    int status = -1;
    while (status < 0 && (n = ::read(fd, buf, sizeof buf)) > 0) {
        pending.append(buf, size_t(n));
        size_t nl;
        while ((nl = pending.find('\n')) != std::string::npos) {
            std::string l = pending.substr(0, nl);
            pending.erase(0, nl + 1);
            if (l.rfind("exit ", 0) == 0) {
                status = std::atoi(l.c_str() + 5);
                break;
            }
            std::fprintf(out, "%s\n", l.c_str());
            std::fflush(out);
        }
    }
    ::close(fd);
    if (status < 0) {
        std::fprintf(err, "wanmate: the dialer ended without an answer\n");
        return 1;
    }
    return status;
}

}  // namespace wanmate
