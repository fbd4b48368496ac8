// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/PrivateFiles.h"

namespace msgdesk {

bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string& error, FileAccess access) {
    const std::filesystem::path dir = path.has_parent_path() ? path.parent_path() : ".";
    if (access == FileAccess::Private) platform::makePrivateDir(dir);  // failures show below
    std::string tmp = (dir / ("." + path.filename().string() + ".XXXXXX")).string();
    int fd = mkstemp(tmp.data());
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    auto fail = [&](int err) {
        error = std::strerror(err);
        ::close(fd);
        ::unlink(tmp.c_str());
        return false;
    };
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (w < 0) {
            if (errno == EINTR) continue;
            return fail(errno);
        }
        done += static_cast<size_t>(w);
    }
    // Exported files are the user's: readable as any new file of theirs.
    mode_t mask = umask(0);
    umask(mask);
    const mode_t mode = access == FileAccess::Private ? 0600 : (0666 & ~mask);
    if (fchmod(fd, mode) != 0 || fsync(fd) != 0) return fail(errno);
    if (::close(fd) != 0) {
        error = std::strerror(errno);
        ::unlink(tmp.c_str());
        return false;
    }
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        error = std::strerror(errno);
        ::unlink(tmp.c_str());
        return false;
    }
    int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (dfd >= 0) {
        fsync(dfd);
        ::close(dfd);
    }
    return true;
}

bool readWholeFile(const std::filesystem::path& path, std::string& bytes, std::string& error) {
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    std::string out;
    char buf[65536];
    for (;;) {
        ssize_t r = ::read(fd, buf, sizeof buf);
        if (r < 0) {
            if (errno == EINTR) continue;
            error = std::strerror(errno);
            ::close(fd);
            return false;
        }
        if (r == 0) break;
        out.append(buf, static_cast<size_t>(r));
    }
    ::close(fd);
    bytes = std::move(out);
    return true;
}

}  // namespace msgdesk
