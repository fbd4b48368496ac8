// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/ContactFiles.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

#include "platform/PrivateFiles.h"

namespace msgdesk {

namespace {

constexpr std::size_t kRecordSize = sizeof(ContactRecord);

// Reads up to n bytes, retrying interrupted and partial reads. Returns the
// bytes read (less than n only at end of file) or -1 on an error.
ssize_t readFull(int fd, char* buf, std::size_t n) {
    std::size_t got = 0;
    while (got < n) {
        ssize_t r = ::read(fd, buf + got, n - got);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return -1;
        if (r == 0) break;
        got += static_cast<std::size_t>(r);
    }
    return static_cast<ssize_t>(got);
}

bool writeFull(int fd, const char* buf, std::size_t n) {
    std::size_t done = 0;
    while (done < n) {
        ssize_t w = ::write(fd, buf + done, n - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        done += static_cast<std::size_t>(w);
    }
    return true;
}

bool ensureDirectory(const std::filesystem::path& dir) {
    return platform::makePrivateDir(dir);
}

// Makes the rename itself durable; a failure here does not undo the save.
void syncDirectory(const std::filesystem::path& dir) {
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Writes bytes to tmp, flushes them to disk and renames tmp over target.
// target is untouched unless the rename succeeds.
bool replaceFile(const std::filesystem::path& target, const std::filesystem::path& tmp,
                 const std::string& bytes) {
    int fd = platform::openPrivate(tmp, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW);
    if (fd < 0) return false;
    bool ok = writeFull(fd, bytes.data(), bytes.size());
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = ::rename(tmp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(tmp.c_str());
        return false;
    }
    syncDirectory(target.parent_path());
    return true;
}

bool readWholeFile(const std::filesystem::path& path, std::string& out) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    out.clear();
    char buf[8192];
    bool ok = true;
    for (;;) {
        ssize_t r = readFull(fd, buf, sizeof buf);
        if (r < 0) {
            ok = false;
            break;
        }
        out.append(buf, static_cast<std::size_t>(r));
        if (static_cast<std::size_t>(r) < sizeof buf) break;
    }
    ::close(fd);
    return ok;
}

}  // namespace

bool BackupContacts(const ContactFiles& files) {
    auto backup = files.backup();
    if (!ensureDirectory(backup.parent_path())) return false;
    std::string bytes;
    if (!readWholeFile(files.file(), bytes)) return false;
    auto tmp = backup;
    tmp += ".tmp";
    return replaceFile(backup, tmp, bytes);
}

ContactLoadResult LoadContacts(ContactBook& book, const std::filesystem::path& file) {
    ContactLoadResult result;
    if (file.has_parent_path()) ensureDirectory(file.parent_path());
    // O_CREAT without O_TRUNC: a missing file is created empty, an existing
    // one is never cut.
    int fd = platform::openPrivate(file, O_RDONLY | O_CREAT);
    if (fd < 0) return result;
    result.opened = true;
    for (;;) {
        auto record = NewContactRecord();
        ssize_t r = readFull(fd, reinterpret_cast<char*>(record.get()), kRecordSize);
        if (r < 0) {
            result.readError = true;
            break;
        }
        if (static_cast<std::size_t>(r) < kRecordSize) {
            result.ignoredBytes = static_cast<std::size_t>(r);
            break;
        }
        book.appendLoaded(std::move(record));
        ++result.records;
    }
    ::close(fd);
    return result;
}

bool SaveContacts(const ContactBook& book, const ContactFiles& files) {
    if (!ensureDirectory(files.file().parent_path())) return false;
    std::string bytes;
    bytes.reserve(book.size() * kRecordSize);
    for (const auto& r : book.records())
        bytes.append(reinterpret_cast<const char*>(r.get()), kRecordSize);
    return replaceFile(files.file(), files.temporary(), bytes);
}

}  // namespace msgdesk
