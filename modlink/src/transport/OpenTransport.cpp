// SPDX-License-Identifier: LGPL-2.1-or-later
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "FdTransport.h"
#include "UucpLock.h"
#include "engine/Trace.h"

namespace modlink {

namespace {

class SerialTransport final : public FdTransport {
public:
    SerialTransport(int fd, std::string name, UucpLock lock)
        : FdTransport(fd, std::move(name)), m_lock(std::move(lock)) {}
    // The exclusive mode lasts until the tty's last close, which a port
    // that another process also holds open never sees. The lock file goes
    // after the port is closed.
    ~SerialTransport() override {
        ::ioctl(m_fd, TIOCNXCL);
        ::close(m_fd);
        m_fd = -1;
    }
    void discardInput() override { ::tcflush(m_fd, TCIFLUSH); }

private:
    UucpLock m_lock;
};

class TcpTransport final : public FdTransport {
public:
    TcpTransport(int fd, std::string name) : FdTransport(fd, std::move(name), true) {}
};

std::unique_ptr<Transport> openSerial(const std::string& path, OpenError& error,
                                      std::string& detail) {
    // Like pppd: the lock file first, then the port.
    UucpLock lock;
    std::string why;
    switch (lock.acquire(path, why)) {
        case UucpLock::Result::Held:
            error = OpenError::Busy;
            detail = why;
            return nullptr;
        case UucpLock::Result::NoLockDir:
            Trace::instance().note(0, path + " used without a lock file: " + why);
            break;
        case UucpLock::Result::Taken:
            if (!why.empty()) Trace::instance().note(0, path + ": " + why);
            break;
    }
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = errno == EBUSY    ? OpenError::Busy
                : errno == ENOENT ? OpenError::NotFound
                                  : OpenError::Failed;
        detail = std::strerror(errno);
        return nullptr;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        error = OpenError::Busy;
        detail = "locked by another program (flock)";
        return nullptr;
    }
    termios t{};
    if (::tcgetattr(fd, &t) != 0) {
        ::close(fd);
        error = OpenError::Failed;
        detail = "not a serial port";
        return nullptr;
    }
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~CRTSCTS;
    // VMIN 1: a non-blocking read without data gives EAGAIN, not 0.
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    ::cfsetispeed(&t, B115200);
    ::cfsetospeed(&t, B115200);
    ::tcsetattr(fd, TCSANOW, &t);
    ::ioctl(fd, TIOCEXCL);
    error = OpenError::None;
    return std::make_unique<SerialTransport>(fd, path, std::move(lock));
}

std::unique_ptr<Transport> openTcp(const std::string& address, OpenError& error,
                                   std::string& detail) {
    std::string rest = address.substr(4);
    auto colon = rest.rfind(':');
    error = OpenError::Failed;
    if (colon == std::string::npos) {
        detail = "expected tcp:HOST:PORT";
        return nullptr;
    }
    std::string host = rest.substr(0, colon), port = rest.substr(colon + 1);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* res = nullptr;
    if (int rc = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &res); rc != 0) {
        detail = gai_strerror(rc);
        return nullptr;
    }
    int fd = -1;
    for (addrinfo* a = res; a; a = a->ai_next) {
        fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) continue;
        if (::connect(fd, a->ai_addr, a->ai_addrlen) == 0) break;
        detail = std::strerror(errno);
        ::close(fd);
        fd = -1;
    }
    ::freeaddrinfo(res);
    if (fd < 0) {
        error = OpenError::NotFound;
        return nullptr;
    }
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    error = OpenError::None;
    return std::make_unique<TcpTransport>(fd, address);
}

}  // namespace

std::unique_ptr<Transport> openTransport(const std::string& port, OpenError& error,
                                         std::string& detail) {
    if (port.rfind("tcp:", 0) == 0) return openTcp(port, error, detail);
    return openSerial(port, error, detail);
}

}  // namespace modlink
