// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/RunDir.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace fs = std::filesystem;

namespace {

// What is wrong with `dir` as a private directory of ours; empty when
// nothing is.
std::string problemOf(const fs::path& dir) {
    struct stat st {};
    if (::lstat(dir.c_str(), &st) != 0)
        return dir.string() + " cannot be read: " + std::strerror(errno);
    if (S_ISLNK(st.st_mode)) return dir.string() + " is a symbolic link";
    if (!S_ISDIR(st.st_mode)) return dir.string() + " is not a directory";
    if (st.st_uid != ::geteuid())
        return dir.string() + " belongs to user " + std::to_string(st.st_uid) + ", not to user " +
               std::to_string(::geteuid());
    if ((st.st_mode & 07777) != 0700) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", unsigned(st.st_mode & 07777));
        return dir.string() + " has mode " + mode + ", not 0700";
    }
    return {};
}

bool ownPrivateDir(const fs::path& dir) {
    return problemOf(dir).empty();
}

}  // namespace

fs::path userRunDir(const std::string& name) {
    const uid_t uid = ::geteuid();
    if (uid == 0) return fs::path("/run") / name;
    if (const char* x = std::getenv("XDG_RUNTIME_DIR"); x && *x) return fs::path(x) / name;
    fs::path session = "/run/user/" + std::to_string(uid);
    if (ownPrivateDir(session)) return session / name;
    return "/tmp/" + name + "-" + std::to_string(uid);
}

bool ensurePrivateDir(const fs::path& dir, std::string* why) {
    std::error_code ec;
    if (dir.has_parent_path()) fs::create_directories(dir.parent_path(), ec);
    // A directory made here is 0700 whatever the umask; one that was there
    // is taken only as it stands.
    if (::mkdir(dir.c_str(), 0700) == 0) ::chmod(dir.c_str(), 0700);
    std::string problem = problemOf(dir);
    if (problem.empty()) return true;
    if (why) *why = problem + "; not used (remove it, or set it up 0700 for yourself)";
    return false;
}

int createNewFile(const fs::path& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
}

bool replaceFile(const fs::path& path, const std::string& content) {
    fs::path temp = path;
    temp += ".new-" + std::to_string(::getpid());
    ::unlink(temp.c_str());  // a leftover of ours; a link is removed, not followed
    int fd = createNewFile(temp);
    if (fd < 0) return false;
    bool ok = ::write(fd, content.data(), content.size()) == ssize_t(content.size());
    ok = ::close(fd) == 0 && ok;
    if (ok && ::rename(temp.c_str(), path.c_str()) == 0) return true;
    ::unlink(temp.c_str());
    return false;
}

}  // namespace platform
