#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "FdTransport.h"

namespace modlink {

namespace {

class SerialTransport final : public FdTransport {
public:
    using FdTransport::FdTransport;
    // The exclusive mode lasts until the tty's last close, which a port
    // that another process also holds open never sees.
    ~SerialTransport() override { ::ioctl(m_fd, TIOCNXCL); }
    void discardInput() override { ::tcflush(m_fd, TCIFLUSH); }
};

class TcpTransport final : public FdTransport {
public:
    TcpTransport(int fd, std::string name) : FdTransport(fd, std::move(name), true) {}
};

std::string baseName(const std::string& path) {
    auto s = path.rfind('/');
    return s == std::string::npos ? path : path.substr(s + 1);
}

// UUCP lock files ("LCK..ttyUSB0" holding a pid) are how pppd and the
// classic dial-up programs mark a port in use. A stale file (dead pid) does
// not count.
bool lockFileHeld(const std::string& path) {
    const char* dirs[] = {"/var/lock", "/run/lock", "/var/spool/lock"};
    const char* env = std::getenv("MODLINK_LOCK_DIR");
    for (const char* d : dirs) {
        std::string dir = env ? env : d;
        std::ifstream f(dir + "/LCK.." + baseName(path));
        if (f) {
            std::string text((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
            // Either a 10-byte ASCII pid or a binary int, by the old convention.
            long pid = std::strtol(text.c_str(), nullptr, 10);
            if (pid <= 0 && text.size() >= sizeof(int)) {
                int bin = 0;
                std::memcpy(&bin, text.data(), sizeof bin);
                pid = bin;
            }
            if (pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM)) return true;
        }
        if (env) break;
    }
    return false;
}

std::unique_ptr<Transport> openSerial(const std::string& path, OpenError& error,
                                      std::string& detail) {
    if (lockFileHeld(path)) {
        error = OpenError::Busy;
        detail = "locked by another program (lock file)";
        return nullptr;
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
    return std::make_unique<SerialTransport>(fd, path);
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
