// SPDX-License-Identifier: GPL-3.0-or-later
#include "HolderFiles.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>

#include "platform/ras/PortLock.h"

namespace zunto::hold {

namespace fs = std::filesystem;
using platform::ras::PortLock;

namespace {

// The files are shared by the users of one machine (pppd runs as root), so
// they are opened without O_CREAT first: a sticky lock directory refuses
// O_CREAT on another user's file (protected_regular).
int openShared(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (fd >= 0) return fd;
    fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd >= 0) {
        ::fchmod(fd, 0666);
        return fd;
    }
    if (errno == EEXIST) fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    return fd;
}

std::string readAll(int fd) {
    char buf[128];
    ssize_t n = ::pread(fd, buf, sizeof buf - 1, 0);
    return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

}  // namespace

HolderFiles::HolderFiles(std::string base) : m_base(std::move(base)) {}

HolderFiles::~HolderFiles() {
    if (m_stateFd >= 0) ::close(m_stateFd);
    if (m_gateFd >= 0) ::close(m_gateFd);
}

std::string HolderFiles::lockDirectory() {
    for (const auto& d : PortLock::lockDirs()) {
        std::error_code ec;
        if (fs::is_directory(d, ec)) return d.string();
    }
    return "/tmp";
}

bool HolderFiles::lockGate() {
    if (m_gateFd < 0) m_gateFd = openShared(m_base + ".gate");
    if (m_gateFd < 0) return false;
    while (::flock(m_gateFd, LOCK_EX) != 0)
        if (errno != EINTR) return false;
    return true;
}

void HolderFiles::unlockGate() {
    if (m_gateFd >= 0) ::flock(m_gateFd, LOCK_UN);
}

HolderFiles::Claim HolderFiles::claim(std::string& detail) {
    if (!lockGate()) {
        detail = "cannot use " + m_base + ".gate: " + std::strerror(errno);
        return Claim::Failed;
    }
    if (m_stateFd < 0) m_stateFd = openShared(m_base);
    if (m_stateFd < 0) {
        detail = "cannot use " + m_base + ": " + std::strerror(errno);
        unlockGate();
        return Claim::Failed;
    }
    Claim c;
    if (::flock(m_stateFd, LOCK_EX | LOCK_NB) == 0) {
        m_claimed = std::chrono::system_clock::now();
        setState("waiting");
        c = Claim::Holder;
    } else {
        // A holder there is: the touch tells it someone counts on it.
        ::futimens(m_gateFd, nullptr);
        c = Claim::Joined;
    }
    unlockGate();
    return c;
}

std::string HolderFiles::holderState() const {
    if (m_stateFd < 0) return {};
    std::string s = readAll(m_stateFd);
    auto sp = s.find(' ');
    s = sp == std::string::npos ? std::string() : s.substr(sp + 1);
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
    return s;
}

void HolderFiles::setState(const std::string& state) {
    if (m_stateFd < 0) return;
    std::string text = std::to_string(::getpid()) + " " + state + "\n";
    if (::pwrite(m_stateFd, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size()))
        ::ftruncate(m_stateFd, static_cast<off_t>(text.size()));
}

std::chrono::system_clock::time_point HolderFiles::lastJoin() const {
    struct stat st {};
    auto t = m_claimed;
    if (m_gateFd >= 0 && ::fstat(m_gateFd, &st) == 0) {
        auto touched = std::chrono::system_clock::time_point(
            std::chrono::duration_cast<std::chrono::system_clock::duration>(
                std::chrono::seconds(st.st_mtim.tv_sec) +
                std::chrono::nanoseconds(st.st_mtim.tv_nsec)));
        if (touched > t) t = touched;
    }
    return t;
}

std::vector<std::string> modemLockFiles(const std::string& usbDevice, const std::string& port) {
    std::set<std::string> ttys;
    if (!port.empty()) ttys.insert(fs::path(port).filename().string());
    std::error_code ec;
    // usb-serial puts ttyUSBn in the interface's folder, cdc-acm tty/ttyACMn.
    for (auto it = fs::recursive_directory_iterator(usbDevice, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it.depth() > 3) {
            it.disable_recursion_pending();
            continue;
        }
        std::string name = it->path().filename().string();
        if (name.size() > 3 && name.rfind("tty", 0) == 0 && std::isdigit(name.back()))
            ttys.insert(name);
    }
    std::vector<std::string> out;
    for (const auto& dir : PortLock::lockDirs())
        for (const auto& t : ttys) out.push_back((dir / ("LCK.." + t)).string());
    return out;
}

bool anyLive(const std::vector<std::string>& lockFiles) {
    for (const auto& f : lockFiles)
        if (PortLock::liveLockFile(f)) return true;
    return false;
}

}  // namespace zunto::hold
