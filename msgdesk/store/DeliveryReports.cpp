// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/DeliveryReports.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "store/AtomicFile.h"
#include "store/CountryCodeLookup.h"
#include "store/HexField.h"
#include "store/MailboxFiles.h"

namespace msgdesk {

namespace fs = std::filesystem;

namespace {

constexpr const char* kHeader = "zunto-reports 1";
constexpr std::size_t kFields = 13;

char letter(DeliveryReports::State s) {
    return s == DeliveryReports::State::Delivered ? 'D'
           : s == DeliveryReports::State::Failed  ? 'F'
                                                  : 'P';
}

std::optional<DeliveryReports::State> fromLetter(char c) {
    if (c == 'D') return DeliveryReports::State::Delivered;
    if (c == 'F') return DeliveryReports::State::Failed;
    if (c == 'P') return DeliveryReports::State::Pending;
    return std::nullopt;
}

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        std::size_t tab = line.find('\t', start);
        out.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos) return out;
        start = tab + 1;
    }
}

bool parseInt64(const std::string& s, int64_t& out) {
    if (s.empty() || s.size() > 18) return false;
    out = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        out = out * 10 + (c - '0');
    }
    return true;
}

// "261207100001" -> "2026-12-07 10:00:01".
std::string longStamp(const std::string& s) {
    if (s.size() != 12) return s;
    return "20" + s.substr(0, 2) + "-" + s.substr(2, 2) + "-" + s.substr(4, 2) + " " +
           s.substr(6, 2) + ":" + s.substr(8, 2) + ":" + s.substr(10, 2);
}

std::string plain(std::string s) {
    // The readable columns never hold a tab or a line break.
    for (char& c : s)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return s.empty() ? "-" : s;
}

std::string stripPlus(const std::string& n) {
    return !n.empty() && n[0] == '+' ? n.substr(1) : n;
}

}  // namespace

bool sameRecipient(const std::string& a, const std::string& b) {
    const std::string x = stripPlus(a), y = stripPlus(b);
    if (x.empty() || y.empty()) return false;
    auto is = [](const std::string& want) {
        return
            [want](const std::string& n) { return n == want ? std::string("1") : std::string(); };
    };
    return !lookupNameWithCountryCode(x, is(y)).empty() ||
           !lookupNameWithCountryCode(y, is(x)).empty();
}

DeliveryReports::State DeliveryReports::classify(int status) {
    if (status >= 0x00 && status <= 0x1F) return State::Delivered;
    if (status >= 0x20 && status <= 0x3F) return State::Pending;
    return State::Failed;
}

const char* DeliveryReports::word(State s) {
    switch (s) {
        case State::Delivered:
            return "已送达";
        case State::Failed:
            return "未送达";
        default:
            return "等待中";
    }
}

fs::path DeliveryReports::pathFor(const fs::path& mailboxFile) {
    fs::path p = mailboxFile;
    return p.replace_extension(".reports");
}

void DeliveryReports::note(const std::string& s) const {
    if (trace)
        trace(s);
    else
        std::fprintf(stderr, "msgdesk: %s\n", s.c_str());
}

bool DeliveryReports::load(const fs::path& path) {
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
            auto f = splitTabs(line);
            Entry e;
            int64_t device = 0;
            ok = f.size() == kFields && parseInt64(f[4], device) && device >= 1 && device <= 16 &&
                 parseInt64(f[7], e.sentAt) && unhexField(f[8], e.key.number) &&
                 unhexField(f[9], e.key.date) && unhexField(f[10], e.key.time) &&
                 unhexField(f[11], e.key.text) && f[12] == "." && f[6].size() >= 1;
            if (!ok) break;
            e.device = static_cast<int>(device);
            std::istringstream refs(f[5]);
            for (std::string r; ok && std::getline(refs, r, ',');) {
                int64_t v = 0;
                ok = parseInt64(r, v) && v <= 255;
                e.refs.push_back(static_cast<int>(v));
            }
            for (char c : f[6]) {
                auto s = fromLetter(c);
                ok = ok && s.has_value();
                if (s) e.parts.push_back(*s);
            }
            ok = ok && !e.refs.empty() && e.refs.size() == e.parts.size();
            const std::string words[] = {word(State::Pending), word(State::Delivered),
                                         word(State::Failed)};
            auto w = std::find(std::begin(words), std::end(words), f[2]);
            ok = ok && w != std::end(words);
            if (!ok) break;
            e.state = static_cast<State>(w - std::begin(words));
            e.reportTime = f[3] == "-" ? std::string() : f[3];
            read.push_back(std::move(e));
        }
    }
    if (!ok) {
        SetAsideUnreadable(path);
        note("damaged " + path.string() + " set aside");
        return false;
    }
    m_entries = std::move(read);
    return true;
}

bool DeliveryReports::save(const fs::path& path) const {
    std::error_code ec;
    if (m_entries.empty() && !fs::exists(path, ec)) return true;
    std::string bytes = std::string(kHeader) + "\n";
    for (const Entry& e : m_entries) {
        std::string refs, parts;
        for (std::size_t i = 0; i < e.refs.size(); ++i) {
            refs += (i ? "," : "") + std::to_string(e.refs[i]);
            parts += letter(e.parts[i]);
        }
        bytes += plain(e.key.number) + "\t" + plain(e.key.date + " " + e.key.time) + "\t" +
                 word(e.state) + "\t" + plain(e.reportTime) + "\t" + std::to_string(e.device) +
                 "\t" + refs + "\t" + parts + "\t" + std::to_string(e.sentAt) + "\t" +
                 hexField(e.key.number) + "\t" + hexField(e.key.date) + "\t" +
                 hexField(e.key.time) + "\t" + hexField(e.key.text) + "\t.\n";
    }
    std::string error;
    return writeFileAtomically(path, bytes, error, FileAccess::Private);
}

void DeliveryReports::track(const LongTexts::Key& key, int device, std::vector<int> refs,
                            int64_t sentAt) {
    if (refs.empty()) return;
    Entry e;
    e.key = key;
    e.device = device;
    e.parts.assign(refs.size(), State::Pending);
    e.refs = std::move(refs);
    e.sentAt = sentAt;
    m_entries.push_back(std::move(e));
}

DeliveryReports::Outcome DeliveryReports::apply(
    const answers::StatusReport& r, const std::function<bool(const LongTexts::Key&)>& rowExists,
    LongTexts::Key* changed) {
    // Newest first: the later of two equal send times is the later entry.
    auto newest = m_entries.end();
    std::size_t part = 0;
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->state != State::Pending || it->device != r.device ||
            !sameRecipient(it->key.number, r.number))
            continue;
        for (std::size_t i = 0; i < it->refs.size(); ++i) {
            if (it->refs[i] != r.ref || it->parts[i] != State::Pending) continue;
            if (newest == m_entries.end() || it->sentAt >= newest->sentAt) {
                newest = it;
                part = i;
            }
            break;
        }
    }
    const std::string what = "status report (device " + std::to_string(r.device) + ", reference " +
                             std::to_string(r.ref) + ", " + r.number + ")";
    if (newest == m_entries.end()) {
        note(what + " matches no sent message; dropped");
        return Outcome::Unknown;
    }
    if (rowExists && !rowExists(newest->key)) {
        note(what + " is for a deleted message; dropped");
        m_entries.erase(newest);
        return Outcome::RowDeleted;
    }
    Entry& e = *newest;
    e.parts[part] = classify(r.status);
    if (e.parts[part] == State::Failed) {
        e.state = State::Failed;
    } else if (std::all_of(e.parts.begin(), e.parts.end(),
                           [](State s) { return s == State::Delivered; })) {
        e.state = State::Delivered;
    }
    if (e.state != State::Pending) e.reportTime = longStamp(r.discharge);
    if (changed) *changed = e.key;
    return Outcome::Matched;
}

const DeliveryReports::Entry* DeliveryReports::find(const LongTexts::Key& key) const {
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it)
        if (it->key == key) return &*it;
    return nullptr;
}

std::string DeliveryReports::describe(const LongTexts::Key& key) const {
    const Entry* e = find(key);
    if (!e) return {};
    std::string out = std::string("送达报告：") + word(e->state);
    // "2026-12-07 10:00:01" is shown as "12-07 10:00:01".
    if (e->reportTime.size() == 19) out += " " + e->reportTime.substr(5);
    return out;
}

int DeliveryReports::prune(int64_t now,
                           const std::function<bool(const LongTexts::Key&)>& rowExists) {
    const auto before = m_entries.size();
    std::erase_if(m_entries, [&](const Entry& e) {
        return (e.state == State::Pending && now - e.sentAt > kPendingSeconds) ||
               (rowExists && !rowExists(e.key));
    });
    return static_cast<int>(before - m_entries.size());
}

}  // namespace msgdesk
