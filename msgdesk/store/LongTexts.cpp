// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/LongTexts.h"

#include <algorithm>
#include <sstream>

#include "platform/Codepage.h"
#include "store/AtomicFile.h"
#include "store/HexField.h"
#include "store/MailboxFiles.h"

namespace msgdesk {

namespace fs = std::filesystem;

namespace {
constexpr const char* kHeader = "zunto-long 1";
}

LongTexts::Key LongTexts::keyOf(const MessageRecord& rec) {
    return Key{rec.number(), rec.date(), rec.time(), rec.text()};
}

int LongTexts::partCount(const std::string& gbk) {
    size_t units = 0;  // septets when all ASCII, else UTF-16 units
    bool ascii = true;
    for (size_t i = 0; i < gbk.size();) {
        const size_t n = platform::codepage::charLength(gbk, i);
        if (n > 1 || static_cast<unsigned char>(gbk[i]) >= 0x80) ascii = false;
        // From 0x90 a four-byte character lies beyond the BMP: a surrogate pair.
        units += n == 4 && static_cast<unsigned char>(gbk[i]) >= 0x90 ? 2 : 1;
        i += n;
    }
    if (units <= (ascii ? 160u : 70u)) return 1;
    const size_t per = ascii ? 153 : 67;
    return static_cast<int>((units + per - 1) / per);
}

fs::path LongTexts::pathFor(const fs::path& mailboxFile) {
    fs::path p = mailboxFile;
    return p.replace_extension(".long");
}

bool LongTexts::load(const fs::path& path) {
    m_entries.clear();
    std::error_code ec;
    if (!fs::exists(path, ec)) return true;
    std::string bytes, error;
    bool ok = readWholeFile(path, bytes, error);
    std::vector<Entry> read;
    if (ok) {
        std::istringstream in(bytes);
        std::string line;
        ok = std::getline(in, line) && line == kHeader;
        while (ok && std::getline(in, line)) {
            std::istringstream l(line);
            std::string f[5], extra;
            Entry e;
            ok = static_cast<bool>(l >> f[0] >> f[1] >> f[2] >> f[3] >> f[4]) && !(l >> extra) &&
                 unhexField(f[0], e.key.number) && unhexField(f[1], e.key.date) &&
                 unhexField(f[2], e.key.time) && unhexField(f[3], e.key.text) &&
                 unhexField(f[4], e.whole);
            if (ok) read.push_back(std::move(e));
        }
    }
    if (!ok) {
        SetAsideUnreadable(path);
        return false;
    }
    m_entries = std::move(read);
    return true;
}

bool LongTexts::save(const fs::path& path) const {
    std::error_code ec;
    if (m_entries.empty() && !fs::exists(path, ec)) return true;
    std::string bytes = std::string(kHeader) + "\n";
    for (const Entry& e : m_entries) {
        bytes += hexField(e.key.number) + " " + hexField(e.key.date) + " " + hexField(e.key.time) +
                 " " + hexField(e.key.text) + " " + hexField(e.whole) + "\n";
    }
    std::string error;
    return writeFileAtomically(path, bytes, error, FileAccess::Private);
}

std::vector<std::string> LongTexts::find(const Key& key) const {
    std::vector<std::string> out;
    for (const Entry& e : m_entries)
        if (e.key == key) out.push_back(e.whole);
    return out;
}

std::string LongTexts::wholeText(const MessageRecord& rec) const {
    auto texts = find(keyOf(rec));
    return texts.empty() ? rec.text() : texts.front();
}

bool LongTexts::take(const Key& key, const std::string& whole, Entry* out) {
    auto it = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& e) {
        return e.key == key && (whole.empty() || e.whole == whole);
    });
    if (it == m_entries.end()) return false;
    if (out) *out = *it;
    m_entries.erase(it);
    return true;
}

int LongTexts::keepOnly(const std::vector<Key>& rowKeys) {
    const auto before = m_entries.size();
    std::erase_if(m_entries, [&](const Entry& e) {
        return std::find(rowKeys.begin(), rowKeys.end(), e.key) == rowKeys.end();
    });
    return static_cast<int>(before - m_entries.size());
}

}  // namespace msgdesk
