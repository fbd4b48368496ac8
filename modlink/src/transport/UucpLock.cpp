// SPDX-License-Identifier: LGPL-2.1-or-later
#include "UucpLock.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <utility>

namespace modlink {

UucpLock::UucpLock(UucpLock&& other) noexcept : m_path(std::exchange(other.m_path, {})) {}

UucpLock& UucpLock::operator=(UucpLock&& other) noexcept {
    if (this != &other) {
        release();
        m_path = std::exchange(other.m_path, {});
    }
    return *this;
}

std::vector<std::string> UucpLock::lockDirs() {
    if (const char* env = std::getenv("MODLINK_LOCK_DIR")) return {env};
    return {"/var/lock", "/run/lock", "/var/spool/lock"};
}

std::string UucpLock::fileName(const std::string& devicePath) {
    auto s = devicePath.rfind('/');
    return "LCK.." + (s == std::string::npos ? devicePath : devicePath.substr(s + 1));
}

long UucpLock::ownerOf(const std::string& lockPath) {
    std::ifstream f(lockPath, std::ios::binary);
    if (!f) return 0;
    std::string text((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    // Ten ASCII digits by the usual convention; a binary int by the old one.
    long pid = std::strtol(text.c_str(), nullptr, 10);
    if (pid <= 0 && text.size() == sizeof(int)) {
        int bin = 0;
        std::memcpy(&bin, text.data(), sizeof bin);
        pid = bin;
    }
    return pid > 0 ? pid : 0;
}

bool UucpLock::alive(long pid) {
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

UucpLock::Result UucpLock::acquire(const std::string& devicePath, std::string& detail) {
    release();
    const auto dirs = lockDirs();
    const std::string name = fileName(devicePath);
    // A live lock in any of the directories counts (/var/lock is often a
    // link to /run/lock: the same file twice is harmless).
    for (const auto& d : dirs) {
        long pid = ownerOf(d + "/" + name);
        if (alive(pid)) {
            detail = "locked by process " + std::to_string(pid) + " (" + d + "/" + name + ")";
            return Result::Held;
        }
    }
    std::string dir;
    for (const auto& d : dirs) {
        struct stat st {};
        if (::stat(d.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            dir = d;
            break;
        }
    }
    if (dir.empty()) {
        detail = "no lock directory";
        return Result::NoLockDir;
    }
    // Written whole under a temporary name, then linked into place: link()
    // fails when the name exists, so two programs never both take the port
    // and nobody reads a half-written pid.
    char pidText[16];
    std::snprintf(pidText, sizeof pidText, "%10ld\n", static_cast<long>(::getpid()));
    std::string tmp = dir + "/LTMP." + std::to_string(::getpid()) + "." + name.substr(5);
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        detail = "cannot write in " + dir + ": " + std::strerror(errno);
        return Result::NoLockDir;
    }
    bool written = ::write(fd, pidText, 11) == 11;
    ::fchmod(fd, 0644);  // readable by all whatever the umask
    ::close(fd);
    if (!written) {
        ::unlink(tmp.c_str());
        detail = "cannot write in " + dir;
        return Result::NoLockDir;
    }
    const std::string target = dir + "/" + name;
    Result result = Result::Held;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (::link(tmp.c_str(), target.c_str()) == 0) {
            m_path = target;
            result = Result::Taken;
            break;
        }
        if (errno != EEXIST) {
            detail = "cannot lock " + target + ": " + std::strerror(errno);
            result = Result::NoLockDir;
            break;
        }
        long pid = ownerOf(target);
        if (alive(pid)) {
            detail = "locked by process " + std::to_string(pid) + " (" + target + ")";
            break;
        }
        // Stale: its owner is gone. Removed once, then linked again.
        ::unlink(target.c_str());
        detail = "stale lock of process " + std::to_string(pid) + " taken over";
    }
    ::unlink(tmp.c_str());
    return result;
}

void UucpLock::release() {
    if (m_path.empty()) return;
    // Only our own: a lock that someone took over meanwhile is theirs.
    if (ownerOf(m_path) == ::getpid()) ::unlink(m_path.c_str());
    m_path.clear();
}

}  // namespace modlink
