// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace msgdesk {

// Parts of concatenated messages waiting for the rest, kept in
// "data/parts.db" so that a part whose SIM copy is deleted survives a
// crash. Every change is written to a temporary file, synced and renamed
// over the old one before it returns true.
//
// Parts belong together when sender, reference and count agree. The parts
// of a filed message are remembered for a day, so that a part the network
// sends again after its message was joined is known and dropped.
class PartAssembly final {
public:
    struct Part {
        std::string number;  // GBK, as delivered
        std::string date;
        std::string time;
        std::string body;  // GBK
        int ref = 0;
        int partNo = 1;
        int total = 1;
        std::int64_t arrived = 0;  // seconds since the epoch
        bool operator==(const Part&) const = default;
    };
    using Group = std::vector<Part>;  // in part order

    enum class Added { Stored, Duplicate, Failed };
    // How long the parts of a filed message are remembered.
    static constexpr std::int64_t kRememberFiled = 24 * 3600;

    explicit PartAssembly(std::filesystem::path dataDir);
    static std::filesystem::path filePath(const std::filesystem::path& dataDir);

    // Stores a part unless one with the same sender, reference, count and
    // number waits already, or was filed with the same text. Failed: not on
    // disk, the caller keeps the SIM copy.
    Added add(const Part& p);
    bool contains(const Part& p) const;
    // Groups with every part; and groups whose first part arrived at least
    // maxAge seconds before now (or all of them when maxAge is negative).
    std::vector<Group> complete() const;
    std::vector<Group> overdue(std::int64_t now, std::int64_t maxAge) const;
    // The one age rule: the group's first part arrived at least maxAge
    // seconds before now (always true for a negative maxAge).
    static bool isOverdue(const Group& g, std::int64_t now, std::int64_t maxAge);
    // Drops a group's parts, remembering them as filed at `now`, forgets
    // filed parts older than kRememberFiled, and writes the file.
    bool remove(const Group& g, std::int64_t now);
    std::size_t size() const { return m_parts.size(); }
    std::size_t filedSize() const { return m_filed.size(); }
    // Whether a group holds only parts its message lacked when it was filed
    // with gaps: a late part, nothing more will join it.
    bool fillsFiledGap(const Group& g) const;
    // How many messages have parts waiting.
    int waitingMessages() const { return static_cast<int>(groups().size()); }
    // Lines that could not be read when the file was loaded.
    int skippedLines() const { return m_skipped; }

    // The whole text of a group in part order, a missing part marked by
    // "…" (GBK A1AD).
    static std::string joinedText(const Group& g);

private:
    static bool sameMessage(const Part& a, const Part& b);
    std::vector<Group> groups() const;
    bool write();

    std::filesystem::path m_file;
    std::vector<Part> m_parts;
    // Parts of filed messages; `arrived` holds when the message was filed.
    std::vector<Part> m_filed;
    int m_skipped = 0;
};

}  // namespace msgdesk
