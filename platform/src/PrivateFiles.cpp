// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PrivateFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

bool makePrivateDir(const std::filesystem::path& dir) {
    if (dir.empty()) return true;
    // Folders made here are private from the start, parents included (mkdir
    // with 0700 can only be narrowed by the umask); existing ones are kept.
    std::filesystem::path part;
    for (const auto& element : dir) {
        part /= element;
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) break;
    }
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    // Only our own directory is narrowed; a shared one (e.g. a test's /tmp)
    // is left as it is.
    if (st.st_uid == ::geteuid() && (st.st_mode & 07777) != 0700) ::chmod(dir.c_str(), 0700);
    return true;
}

int openPrivate(const std::filesystem::path& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0600);
    if (fd < 0) return fd;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
        (st.st_mode & 0077) != 0) {
        const int saved = errno;
        ::fchmod(fd, st.st_mode & 0700);
        errno = saved;
    }
    return fd;
}

}  // namespace platform
