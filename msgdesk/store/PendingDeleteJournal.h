// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace msgdesk {

// The received messages Msgdesk has filed into the InBox and means to delete
// from a SIM (SaveInCard 0), kept in "data/pending-delete" until each
// deletion is confirmed. After a crash between the InBox save and the
// deletion, the start-up listing deletes exactly these, and keeps every
// other SIM message, however much it resembles an InBox row.
//
// The file is text, one message a line: number, date, time and text (GBK
// bytes) separated by tabs, with '\\', tab, CR and LF escaped as \\\\, \\t,
// \\r and \\n. Every change rewrites it through a synced temporary file and a
// rename. A line that cannot be read is skipped: an entry lost only keeps a
// message on its SIM. Window thread only.
class PendingDeleteJournal final {
public:
    struct Entry {
        std::string number;
        std::string date;
        std::string time;
        std::string text;
        bool operator==(const Entry&) const = default;
    };

    // The oldest entries go beyond this many (a SIM that never comes back).
    static constexpr std::size_t kMaxEntries = 1000;

    // Reads the file below dataDir; a missing file is an empty journal.
    explicit PendingDeleteJournal(std::filesystem::path dataDir);

    static std::filesystem::path filePath(const std::filesystem::path& dataDir);

    // Adds one entry and writes the file; false when the write failed (the
    // entry is kept in memory and written with the next change).
    bool add(const Entry& e);
    // Removes one equal entry and writes the file; false when none was there.
    bool remove(const Entry& e);
    bool contains(const Entry& e) const;
    const std::vector<Entry>& entries() const { return m_entries; }
    // Lines of the file that could not be read.
    int skippedLines() const { return m_skipped; }

    static std::string encode(const Entry& e);
    static bool decode(const std::string& line, Entry& out);

private:
    bool write();

    std::filesystem::path m_file;
    std::vector<Entry> m_entries;
    int m_skipped = 0;
};

}  // namespace msgdesk
