// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/PendingDeleteJournal.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>

#include "platform/PrivateFiles.h"

namespace msgdesk {

namespace fs = std::filesystem;

namespace {

void escapeInto(std::string& out, const std::string& field) {
    for (char c : field) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
}

bool writeAll(int fd, const std::string& s) {
    size_t done = 0;
    while (done < s.size()) {
        const ssize_t w = ::write(fd, s.data() + done, s.size() - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        done += static_cast<size_t>(w);
    }
    return true;
}

}  // namespace

fs::path PendingDeleteJournal::filePath(const fs::path& dataDir) {
    return dataDir / "pending-delete";
}

PendingDeleteJournal::PendingDeleteJournal(fs::path dataDir) : m_file(filePath(dataDir)) {
    std::ifstream in(m_file, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        Entry e;
        if (decode(line, e))
            m_entries.push_back(std::move(e));
        else if (!line.empty())
            ++m_skipped;
    }
}

std::string PendingDeleteJournal::encode(const Entry& e) {
    std::string out;
    escapeInto(out, e.number);
    out += '\t';
    escapeInto(out, e.date);
    out += '\t';
    escapeInto(out, e.time);
    out += '\t';
    escapeInto(out, e.text);
    return out;
}

bool PendingDeleteJournal::decode(const std::string& line, Entry& out) {
    std::string* fields[4] = {&out.number, &out.date, &out.time, &out.text};
    for (auto* f : fields) f->clear();
    size_t k = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\t') {
            if (++k >= 4) return false;
            continue;
        }
        if (c == '\r' || c == '\n') return false;
        if (c != '\\') {
            *fields[k] += c;
            continue;
        }
        if (++i >= line.size()) return false;
        switch (line[i]) {
            case '\\':
                *fields[k] += '\\';
                break;
            case 't':
                *fields[k] += '\t';
                break;
            case 'n':
                *fields[k] += '\n';
                break;
            case 'r':
                *fields[k] += '\r';
                break;
            default:
                return false;
        }
    }
    return k == 3;
}

bool PendingDeleteJournal::add(const Entry& e) {
    m_entries.push_back(e);
    if (m_entries.size() > kMaxEntries)
        m_entries.erase(m_entries.begin(),
                        m_entries.begin() + static_cast<long>(m_entries.size() - kMaxEntries));
    return write();
}

bool PendingDeleteJournal::remove(const Entry& e) {
    auto it = std::find(m_entries.begin(), m_entries.end(), e);
    if (it == m_entries.end()) return false;
    m_entries.erase(it);
    write();
    return true;
}

bool PendingDeleteJournal::contains(const Entry& e) const {
    return std::find(m_entries.begin(), m_entries.end(), e) != m_entries.end();
}

bool PendingDeleteJournal::write() {
    std::error_code ec;
    platform::makePrivateDir(m_file.parent_path());  // a failure shows when the file is opened
    if (m_entries.empty()) {
        // Nothing waits: no file (its absence is an empty journal).
        if (!fs::remove(m_file, ec) && ec) return false;
        return true;
    }
    std::string body;
    for (const Entry& e : m_entries) body += encode(e) + '\n';
    fs::path tmp = m_file;
    tmp += ".tmp";
    const int fd = platform::openPrivate(tmp, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = writeAll(fd, body) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok || ::rename(tmp.c_str(), m_file.c_str()) != 0) {
        ::unlink(tmp.c_str());
        return false;
    }
    const int dir = ::open(m_file.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

}  // namespace msgdesk
