// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/HostileModem.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <utility>

HostileModem::HostileModem(Kind kind, Script script) : m_kind(kind), m_script(std::move(script)) {
    m_stopFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (kind == Kind::Pty) {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) return;
        const char* name = ::ptsname(m_master);
        if (!name) return;
        m_slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios t{};
        if (m_slave < 0 || ::tcgetattr(m_slave, &t) != 0) return;
        ::cfmakeraw(&t);
        ::tcsetattr(m_slave, TCSANOW, &t);
        m_conn = m_master;
        m_port = name;
    } else {
        m_master = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (m_master < 0 || ::bind(m_master, reinterpret_cast<sockaddr*>(&a), len) != 0 ||
            ::listen(m_master, 1) != 0 ||
            ::getsockname(m_master, reinterpret_cast<sockaddr*>(&a), &len) != 0)
            return;
        m_port = "tcp:127.0.0.1:" + std::to_string(ntohs(a.sin_port));
    }
    m_thread = std::thread(&HostileModem::serve, this);
}

HostileModem::~HostileModem() {
    std::uint64_t one = 1;
    [[maybe_unused]] auto r = ::write(m_stopFd, &one, sizeof one);
    if (m_thread.joinable()) m_thread.join();
    if (m_kind == Kind::Tcp && m_conn >= 0) ::close(m_conn);
    if (m_slave >= 0) ::close(m_slave);
    if (m_master >= 0) ::close(m_master);
    ::close(m_stopFd);
}

int HostileModem::connection() const {
    return m_conn.load();
}

std::string HostileModem::ordinaryAnswer(const std::string& c) {
    auto ok = [](const std::string& info) {
        return (info.empty() ? "" : "\r\n" + info + "\r\n") + "\r\nOK\r\n";
    };
    if (c == "AT+CSQ") return ok("+CSQ: 17,99");
    if (c == "AT+CSCA?") return ok("+CSCA: \"+8613800100500\",145");
    if (c == "AT+CPBR=?") return ok("+CPBR: (1-250),20,14");
    if (c == "AT+CPMS?") return ok("+CPMS: \"SM\",3,30,\"SM\",3,30,\"SM\",3,30");
    if (c.rfind("AT+CPMS=", 0) == 0) return ok("+CPMS: 3,30,3,30,3,30");
    if (c.rfind("AT+CPBR=", 0) == 0) return "\r\n+CME ERROR: 22\r\n";
    return ok("");
}

void HostileModem::send(const std::string& bytes) {
    std::lock_guard lock(m_writeMutex);
    std::string_view rest(bytes);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!rest.empty() && std::chrono::steady_clock::now() < deadline) {
        int fd = connection();
        if (fd < 0) return;
        ssize_t n = m_kind == Kind::Tcp ? ::send(fd, rest.data(), rest.size(), MSG_NOSIGNAL)
                                        : ::write(fd, rest.data(), rest.size());
        if (n > 0) {
            rest.remove_prefix(static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return;
        pollfd p{fd, POLLOUT, 0};
        ::poll(&p, 1, 50);
    }
}

std::vector<std::string> HostileModem::commands() const {
    std::lock_guard lock(m_mutex);
    return m_commands;
}

bool HostileModem::waitCommand(const std::string& prefix, int timeoutMs) const {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        for (const auto& c : commands())
            if (c.rfind(prefix, 0) == 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

bool HostileModem::peerClosed() const {
    int fd = connection();
    if (m_kind != Kind::Tcp || fd < 0) return m_closed.load();
    char c;
    // End of file without having read it: peek.
    return ::recv(fd, &c, 1, MSG_PEEK | MSG_DONTWAIT) == 0 || m_closed.load();
}

void HostileModem::serve() {
    std::string line;
    for (;;) {
        int fd = m_kind == Kind::Tcp && connection() < 0 ? m_master : connection();
        pollfd p[2] = {{fd, POLLIN, 0}, {m_stopFd, POLLIN, 0}};
        if (::poll(p, 2, 50) < 0 && errno != EINTR) return;
        if (p[1].revents) return;
        if (!(p[0].revents & (POLLIN | POLLHUP | POLLERR))) continue;
        if (fd == m_master && m_kind == Kind::Tcp) {
            int c = ::accept4(m_master, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (c >= 0) m_conn = c;
            continue;
        }
        char buf[512];
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n == 0 && m_kind == Kind::Tcp) {
            m_closed = true;
            return;
        }
        if (n <= 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        for (ssize_t i = 0; i < n; ++i) {
            if (buf[i] == '\n') continue;
            if (buf[i] != '\r') {
                line += buf[i];
                continue;
            }
            std::string command = std::exchange(line, {});
            {
                std::lock_guard lock(m_mutex);
                m_commands.push_back(command);
            }
            std::optional<std::string> answer;
            if (m_script) answer = m_script(command);
            send(answer ? *answer : ordinaryAnswer(command));
        }
    }
}
