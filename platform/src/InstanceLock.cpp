// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>

namespace platform {

std::filesystem::path InstanceLock::pathFor(const std::string& name) {
    std::filesystem::path dir;
    if (const char* x = std::getenv("XDG_RUNTIME_DIR"); x && *x)
        dir = x;
    else
        dir = "/tmp/kelvo-" + std::to_string(::getuid());
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    return dir / (name + ".lock");
}

InstanceLock::InstanceLock(const std::string& name) {
    int fd = ::open(pathFor(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return;
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
