// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/PartAssembly.h"

#include <algorithm>
#include <sstream>

#include "store/AtomicFile.h"
#include "store/HexField.h"

namespace msgdesk {

namespace fs = std::filesystem;

namespace {

constexpr const char* kHeader = "zunto-parts 1";
// A remembered part of a filed message; older readers skip such lines.
constexpr const char* kFiledMark = "F ";

bool decode(const std::string& line, PartAssembly::Part& p) {
    std::istringstream in(line);
    std::string n, d, t, b;
    if (!(in >> p.ref >> p.partNo >> p.total >> p.arrived >> n >> d >> t >> b)) return false;
    std::string extra;
    if (in >> extra) return false;
    if (p.ref < 0 || p.ref > 65535 || p.total < 1 || p.total > 255 || p.partNo < 1 ||
        p.partNo > p.total)
        return false;
    return unhexField(n, p.number) && unhexField(d, p.date) && unhexField(t, p.time) &&
           unhexField(b, p.body);
}

}  // namespace

fs::path PartAssembly::filePath(const fs::path& dataDir) {
    return dataDir / "parts.db";
}

PartAssembly::PartAssembly(fs::path dataDir) : m_file(filePath(dataDir)) {
    std::string bytes, error;
    if (!readWholeFile(m_file, bytes, error)) return;  // none yet
    std::istringstream in(bytes);
    std::string line;
    if (!std::getline(in, line) || line != kHeader) {
        ++m_skipped;
        return;
    }
    while (std::getline(in, line)) {
        Part p;
        if (line.rfind(kFiledMark, 0) == 0 && decode(line.substr(2), p))
            m_filed.push_back(std::move(p));
        else if (decode(line, p) && !contains(p))
            m_parts.push_back(std::move(p));
        else if (!line.empty())
            ++m_skipped;
    }
}

bool PartAssembly::sameMessage(const Part& a, const Part& b) {
    return a.number == b.number && a.ref == b.ref && a.total == b.total;
}

bool PartAssembly::contains(const Part& p) const {
    return std::any_of(m_parts.begin(), m_parts.end(),
                       [&](const Part& q) { return sameMessage(p, q) && p.partNo == q.partNo; });
}

PartAssembly::Added PartAssembly::add(const Part& p) {
    if (contains(p)) return Added::Duplicate;
    // The text must agree too: with 8-bit references a sender reuses one
    // within hours, and a new message must not be taken for a resend.
    const bool filed = std::any_of(m_filed.begin(), m_filed.end(), [&](const Part& q) {
        return sameMessage(p, q) && p.partNo == q.partNo && p.body == q.body;
    });
    if (filed) return Added::Duplicate;
    m_parts.push_back(p);
    if (write()) return Added::Stored;
    m_parts.pop_back();
    return Added::Failed;
}

std::vector<PartAssembly::Group> PartAssembly::groups() const {
    std::vector<Group> out;
    for (const Part& p : m_parts) {
        auto g = std::find_if(out.begin(), out.end(),
                              [&](const Group& x) { return sameMessage(x.front(), p); });
        if (g == out.end())
            out.push_back({p});
        else
            g->push_back(p);
    }
    for (Group& g : out)
        std::sort(g.begin(), g.end(),
                  [](const Part& a, const Part& b) { return a.partNo < b.partNo; });
    return out;
}

bool PartAssembly::fillsFiledGap(const Group& g) const {
    if (g.empty()) return false;
    bool sibling = false;
    for (const Part& q : m_filed) {
        if (!sameMessage(q, g.front())) continue;
        sibling = true;
        for (const Part& p : g)
            if (p.partNo == q.partNo) return false;  // another message reusing the reference
    }
    return sibling;
}

std::vector<PartAssembly::Group> PartAssembly::complete() const {
    std::vector<Group> out;
    for (Group& g : groups())
        if (static_cast<int>(g.size()) == g.front().total) out.push_back(std::move(g));
    return out;
}

std::vector<PartAssembly::Group> PartAssembly::overdue(std::int64_t now,
                                                       std::int64_t maxAge) const {
    std::vector<Group> out;
    for (Group& g : groups())
        if (isOverdue(g, now, maxAge)) out.push_back(std::move(g));
    return out;
}

bool PartAssembly::isOverdue(const Group& g, std::int64_t now, std::int64_t maxAge) {
    if (maxAge < 0) return true;
    std::int64_t first = g.empty() ? now : g.front().arrived;
    for (const Part& p : g) first = std::min(first, p.arrived);
    return now - first >= maxAge;
}

bool PartAssembly::remove(const Group& g, std::int64_t now) {
    if (g.empty()) return true;
    std::vector<Part> kept, filed;
    for (const Part& p : m_filed)
        if (now - p.arrived < kRememberFiled) filed.push_back(p);
    for (const Part& p : m_parts) {
        if (!sameMessage(p, g.front())) {
            kept.push_back(p);
            continue;
        }
        Part done = p;
        done.arrived = now;
        filed.push_back(std::move(done));
    }
    std::swap(kept, m_parts);
    std::swap(filed, m_filed);
    if (write()) return true;
    std::swap(kept, m_parts);
    std::swap(filed, m_filed);
    return false;
}

std::string PartAssembly::joinedText(const Group& g) {
    std::string out;
    int expected = 1;
    for (const Part& p : g) {
        if (p.partNo > expected) out += "\xA1\xAD";
        out += p.body;
        expected = p.partNo + 1;
    }
    if (!g.empty() && expected <= g.front().total) out += "\xA1\xAD";
    return out;
}

bool PartAssembly::write() {
    std::string bytes = std::string(kHeader) + "\n";
    auto line = [](const Part& p) {
        return std::to_string(p.ref) + " " + std::to_string(p.partNo) + " " +
               std::to_string(p.total) + " " + std::to_string(p.arrived) + " " +
               hexField(p.number) + " " + hexField(p.date) + " " + hexField(p.time) + " " +
               hexField(p.body) + "\n";
    };
    for (const Part& p : m_parts) bytes += line(p);
    for (const Part& p : m_filed) bytes += kFiledMark + line(p);
    std::string error;
    return writeFileAtomically(m_file, bytes, error, FileAccess::Private);
}

}  // namespace msgdesk
