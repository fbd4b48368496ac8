// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/MailboxFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <vector>

#include "platform/PrivateFiles.h"

namespace msgdesk {
namespace fs = std::filesystem;

namespace {

constexpr size_t kRecordSize = sizeof(MessageRecord);

void ensureDirectory(const fs::path& dir) {
    if (dir.empty()) return;
    platform::makePrivateDir(dir);  // a failure shows up when the file is opened
}

bool writeAll(int fd, const char* p, size_t n) {
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

// Reads up to n bytes; returns how many were read before the end, or -1 on
// a read error.
ssize_t readAll(int fd, char* p, size_t n) {
    size_t got = 0;
    while (got < n) {
        ssize_t r = ::read(fd, p + got, n - got);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return -1;
        if (r == 0) break;
        got += static_cast<size_t>(r);
    }
    return static_cast<ssize_t>(got);
}

void syncDirectory(const fs::path& dir) {
    int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Writes the body into "<target>.tmp", syncs it and renames it over target.
bool replaceFileAtomically(const fs::path& target, const std::function<bool(int fd)>& writeBody,
                           const std::function<void()>& beforeRename) {
    fs::path tmp = target;
    tmp += ".tmp";
    int fd = platform::openPrivate(tmp, O_WRONLY | O_CREAT | O_TRUNC);
    if (fd < 0) return false;
    bool ok = writeBody(fd) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok && beforeRename) beforeRename();
    if (!ok || ::rename(tmp.c_str(), target.c_str()) != 0) {
        ::unlink(tmp.c_str());
        return false;
    }
    syncDirectory(target.parent_path());
    return true;
}

void terminateField(char* field, size_t width) {
    if (std::memchr(field, 0, width) == nullptr)
        platform::codepage::putField(field, width, std::string_view(field, width));
}

}  // namespace

const char* MailboxFileName(MailboxId id) {
    switch (id) {
        case InBox:
            return "InBox";
        case OutBox:
            return "OutBox";
        case SentBox:
            return "SentBox";
        case PublicBox:
            return "PublicBox";
        case DeleteBox:
            return "DeleteBox";
    }
    return "";
}

fs::path MailboxFilePath(const fs::path& base, MailboxId id) {
    return base / "data" / (std::string(MailboxFileName(id)) + ".db");
}

fs::path MailboxBackupPath(const fs::path& base, MailboxId id) {
    return base / "backup" / (std::string(MailboxFileName(id)) + ".db.bak");
}

int LoadMailbox(const fs::path& path, Mailbox& box) {
    ensureDirectory(path.parent_path());
    // O_CREAT without O_TRUNC: a missing file is created, an existing one kept.
    int fd = platform::openPrivate(path, O_RDWR | O_CREAT);
    if (fd < 0) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);  // read-only medium
    if (fd < 0) {
        box.loadRows({});
        std::error_code ec;
        return fs::exists(path, ec) ? -1 : 0;  // there, but unreadable
    }
    struct stat st {};
    std::vector<MailboxRow> rows;
    if (::fstat(fd, &st) == 0 && st.st_size > 0)
        rows.reserve(static_cast<size_t>(st.st_size) / kRecordSize);
    // Read in slices straight into the rows: the peak stays near the size of
    // the rows themselves, not twice the file.
    constexpr size_t kSlice = 4096;
    std::vector<char> buf(kSlice * kRecordSize);
    bool failed = false;
    for (;;) {
        ssize_t r = readAll(fd, buf.data(), buf.size());
        if (r < 0) {
            failed = true;
            break;
        }
        size_t got = static_cast<size_t>(r);
        size_t whole = got / kRecordSize;
        for (size_t i = 0; i < whole; ++i) {
            MessageRecord& r = rows.emplace_back().rec;
            std::memcpy(static_cast<void*>(&r), buf.data() + i * kRecordSize, kRecordSize);
            r.Icon = 0;  // on disk always 0, ignored on reading
            terminateField(r.Number, sizeof r.Number);
            terminateField(r.Contact, sizeof r.Contact);
            terminateField(r.Text, sizeof r.Text);
            terminateField(r.Date, sizeof r.Date);
            terminateField(r.Time, sizeof r.Time);
            terminateField(r.Status, sizeof r.Status);
        }
        if (got < buf.size()) break;  // end of file, or a short tail that is ignored
    }
    ::close(fd);
    const size_t count = rows.size();
    box.loadRows(std::move(rows));
    return failed ? -1 : static_cast<int>(count);
}

int SaveMailbox(const fs::path& path, const Mailbox& box, const SaveHooks& hooks) {
    ensureDirectory(path.parent_path());
    const auto& rows = box.rows();
    auto body = [&rows](int fd) {
        // Slices of records: one write per 4096 messages, little extra memory.
        constexpr size_t kSlice = 4096;
        std::vector<char> buf(std::min(rows.size(), kSlice) * kRecordSize);
        for (size_t first = 0; first < rows.size(); first += kSlice) {
            size_t n = std::min(kSlice, rows.size() - first);
            for (size_t i = 0; i < n; ++i) {
                char* dst = buf.data() + i * kRecordSize;
                std::memcpy(dst, static_cast<const void*>(&rows[first + i].rec), kRecordSize);
                std::memset(dst, 0, sizeof(int32_t));  // Icon is written as 0
            }
            if (!writeAll(fd, buf.data(), n * kRecordSize)) return false;
        }
        return true;
    };
    if (!replaceFileAtomically(path, body, hooks.beforeRename)) return -1;
    return static_cast<int>(rows.size());
}

bool SetAsideUnreadable(const fs::path& path) {
    for (int n = 1; n < 1000; ++n) {
        fs::path aside = path;
        aside += ".unreadable-" + std::to_string(n);
        std::error_code ec;
        if (fs::exists(aside, ec)) continue;
        return ::rename(path.c_str(), aside.c_str()) == 0;
    }
    return false;
}

void BackupMailbox(const fs::path& base, MailboxId id) {
    // The long texts first: a backup's rows then never lack theirs.
    const fs::path side = MailboxFilePath(base, id).replace_extension(".long");
    if (std::error_code ec; fs::exists(side, ec)) {
        const fs::path dst = base / "backup" / (std::string(MailboxFileName(id)) + ".long.bak");
        ensureDirectory(dst.parent_path());
        fs::copy_file(side, dst, fs::copy_options::overwrite_existing, ec);
    }
    fs::path src = MailboxFilePath(base, id);
    int fd = ::open(src.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;  // no file: the old backup stays
    struct stat st {};
    std::vector<char> buf;
    if (::fstat(fd, &st) == 0 && st.st_size > 0) buf.resize(static_cast<size_t>(st.st_size));
    ssize_t got = readAll(fd, buf.data(), buf.size());
    ::close(fd);
    if (got != static_cast<ssize_t>(buf.size())) return;  // a short read would make a damaged copy
    fs::path dst = MailboxBackupPath(base, id);
    ensureDirectory(dst.parent_path());
    replaceFileAtomically(dst, [&buf](int fd) { return writeAll(fd, buf.data(), buf.size()); }, {});
}

}  // namespace msgdesk
