// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "store/MessageRecord.h"

namespace msgdesk {

// The whole texts of one mailbox's rows whose Text holds only their first
// 160 bytes, kept beside it in "data/<box>.long": joined long messages, and
// messages whose stored form is longer than the field (many four-byte
// characters).
// An entry is keyed by what no change of the row touches: Number, Date,
// Time and Text up to its NUL; a key may hold several texts (two long
// messages of one sender in one second starting alike).
class LongTexts final {
public:
    struct Key {
        std::string number, date, time, text;
        bool operator==(const Key&) const = default;
    };
    struct Entry {
        Key key;
        std::string whole;  // GBK
        bool operator==(const Entry&) const = default;
    };

    static Key keyOf(const MessageRecord& rec);
    // How many parts a text of this length travels in: one up to 160
    // characters when all ASCII, else 70 UTF-16 units (an emoji is two);
    // beyond, 153 characters a part when all ASCII, else 67 units.
    static int partCount(const std::string& wholeGbk);
    static std::filesystem::path pathFor(const std::filesystem::path& mailboxFile);

    // Reads a sidecar; a missing file is an empty one. A damaged file is
    // renamed aside ("<path>.unreadable-<n>") and reads as empty, so its
    // rows still show their 160 bytes. Returns false when damaged.
    bool load(const std::filesystem::path& path);
    // Writes atomically (synced); false on failure.
    bool save(const std::filesystem::path& path) const;

    void add(const Key& key, std::string whole) { m_entries.push_back({key, std::move(whole)}); }
    // The texts under a key, oldest first.
    std::vector<std::string> find(const Key& key) const;
    // The whole text of a row: its first entry, else the row's own Text.
    std::string wholeText(const MessageRecord& rec) const;
    // Removes one entry under the key with this text (the first when whole
    // is empty); false when none.
    bool take(const Key& key, const std::string& whole, Entry* out = nullptr);
    // Drops entries whose key no row has; returns how many went.
    int keepOnly(const std::vector<Key>& rowKeys);
    const std::vector<Entry>& entries() const { return m_entries; }

private:
    std::vector<Entry> m_entries;
};

}  // namespace msgdesk
