// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/PrivateFiles.h"

namespace msgdesk {

InstanceLock::~InstanceLock() {
    release();
}

std::filesystem::path InstanceLock::lockFile(const std::filesystem::path& root) {
    return root / "data" / "msgdesk.lock";
}

bool InstanceLock::tryLock() {
    if (m_fd >= 0) return true;
    platform::makePrivateDir(m_root / "data");
    const int fd = platform::openPrivate(lockFile(m_root), O_RDWR | O_CREAT | O_CLOEXEC);
    if (fd < 0) return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

void InstanceLock::release() {
    if (m_fd < 0) return;
    ::flock(m_fd, LOCK_UN);
    ::close(m_fd);
    m_fd = -1;
}

}  // namespace msgdesk
