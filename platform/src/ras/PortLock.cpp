// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ras/PortLock.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <set>

namespace platform::ras {

namespace fs = std::filesystem;

std::vector<fs::path> PortLock::lockDirs() {
    if (const char* d = std::getenv("MODLINK_LOCK_DIR"); d && *d) return {d};
    return {"/var/lock", "/run/lock"};
}

bool PortLock::liveLockFile(const fs::path& file) {
    std::ifstream in(file);
    if (!in) return false;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // ASCII pid, possibly padded with blanks; the binary form of old
    // systems (4 bytes) is read as no pid.
    char* end = nullptr;
    long pid = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || pid <= 0) return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

std::string PortLock::inUse(const std::string& port) {
    std::set<std::string> names{fs::path(port).filename().string()};
    std::error_code ec;
    fs::path real = fs::canonical(port, ec);
    if (!ec) names.insert(real.filename().string());
    for (const auto& dir : lockDirs()) {
        for (const auto& n : names) {
            fs::path f = dir / ("LCK.." + n);
            if (liveLockFile(f)) return "locked by " + f.string();
        }
    }
    int fd = ::open(port.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return "cannot open " + port;
    bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held ? port + " is held by another program" : std::string();
}

}  // namespace platform::ras
