// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/RunDir.h"

namespace platform {

namespace fs = std::filesystem;

fs::path InstanceLock::pathFor(const std::string& name) {
    fs::path dir;
    const uid_t uid = ::geteuid();
    struct stat st {};
    fs::path session = "/run/user/" + std::to_string(uid);
    if (const char* x = std::getenv("KELVO_RUNTIME_DIR"); x && *x)
        dir = x;
    else if (uid == 0)
        dir = "/run/kelvo";
    else if (::lstat(session.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == uid)
        dir = session;
    else
        dir = "/tmp/kelvo-" + std::to_string(uid);
    return dir / (name + ".lock");
}

InstanceLock::InstanceLock(const std::string& name) {
    fs::path path = pathFor(name);
    if (!ensurePrivateDir(path.parent_path(), &m_problem)) return;
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        m_problem = path.string() + ": " + std::strerror(errno);
        return;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        m_problem = path.string() + " is not a file of ours; not used";
        ::close(fd);
        return;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return;
    }
    m_fd = fd;
}

InstanceLock::~InstanceLock() {
    release();
}

void InstanceLock::release() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

}  // namespace platform
