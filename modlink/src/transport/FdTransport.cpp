// SPDX-License-Identifier: LGPL-2.1-or-later
#include "FdTransport.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace modlink {

FdTransport::~FdTransport() {
    if (m_fd >= 0) ::close(m_fd);
}

Transport::ReadResult FdTransport::read(std::string& out) {
    char buf[4096];
    for (;;) {
        ssize_t n = ::read(m_fd, buf, sizeof buf);
        if (n > 0) {
            out.append(buf, static_cast<std::size_t>(n));
            return ReadResult::Data;
        }
        if (n == 0) {
            // End of file on a socket. A tty can return 0 without data (a
            // wake-up with nothing to read); it has gone only when it hangs up.
            if (m_socket) return ReadResult::Closed;
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)))
                return ReadResult::Closed;
            return ReadResult::WouldBlock;
        }
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return ReadResult::WouldBlock;
        // EIO is what a serial port or pty gives once the device is gone.
        return ReadResult::Closed;
    }
}

bool FdTransport::write(std::string_view data, int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!data.empty()) {
        // MSG_NOSIGNAL: a closed simulator socket must not kill the host
        // program with SIGPIPE.
        ssize_t n = m_socket ? ::send(m_fd, data.data(), data.size(), MSG_NOSIGNAL)
                             : ::write(m_fd, data.data(), data.size());
        if (n > 0) {
            data.remove_prefix(static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return false;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
        if (left <= 0) return false;
        pollfd p{m_fd, POLLOUT, 0};
        if (::poll(&p, 1, static_cast<int>(left)) < 0 && errno != EINTR) return false;
        if (p.revents & (POLLERR | POLLHUP | POLLNVAL)) return false;
    }
    return true;
}

}  // namespace modlink
