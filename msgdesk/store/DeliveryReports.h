// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "device/ReportAnswers.h"
#include "store/LongTexts.h"

namespace msgdesk {

// The delivery reports of the SentBox, kept beside it in
// "data/SentBox.reports": for each sent row that asked for a report, keyed
// as the long texts are (Number, Date, Time, Text), the device it went out
// on, its parts' message references (TP-MR), when it was sent, and what the
// network reported. The record's fields are never touched.
//
// File: a header line, then one line per row, tab-separated: the recipient
// number, the row's date and time, the state word (已送达 / 未送达 / 等待中),
// the report's time ("-" while waiting); then what matching needs: device,
// references, each part's state (D delivered, F failed, P waiting), the
// send time in seconds, and the row's Text in hex. UTF-8; private.
class DeliveryReports final {
public:
    enum class State { Pending, Delivered, Failed };
    struct Entry {
        LongTexts::Key key;
        int device = 0;
        std::vector<int> refs;     // one per part, 0..255
        std::vector<State> parts;  // parallel to refs
        int64_t sentAt = 0;        // seconds, local wall time
        State state = State::Pending;
        std::string reportTime;  // "yyyy-MM-dd hh:mm:ss" of the deciding report
        bool operator==(const Entry&) const = default;
    };
    enum class Outcome { Matched, Unknown, RowDeleted };
    // Pending entries older than this are dropped: no report is coming.
    static constexpr int64_t kPendingSeconds = 7 * 24 * 3600;

    // TP-ST (23.040 9.2.3.15): 0x00..0x1F the message was delivered (or
    // replaced), 0x20..0x3F the centre still tries, 0x40 and up it gave up
    // (permanent errors, and temporary ones it no longer retries; the
    // reserved values above 0x7F count as failures too).
    static State classify(int status);
    // 已送达 / 未送达 / 等待中 (UTF-8).
    static const char* word(State s);
    static std::filesystem::path pathFor(const std::filesystem::path& mailboxFile);

    // A missing file is an empty one; a damaged one is set aside
    // ("<path>.unreadable-<n>") and reads as empty (false).
    bool load(const std::filesystem::path& path);
    bool save(const std::filesystem::path& path) const;

    // A sent row that asked for reports, from its parts' references.
    void track(const LongTexts::Key& key, int device, std::vector<int> refs, int64_t sentAt);
    // Matches a report to the newest row still waiting with that device,
    // reference and number (references wrap at 256, so an older row with
    // the same one is never taken while a newer waits). A row whose
    // SentBox row is gone (rowExists false) loses its entry. *changed gets
    // the matched entry's key.
    Outcome apply(const answers::StatusReport& r,
                  const std::function<bool(const LongTexts::Key&)>& rowExists,
                  LongTexts::Key* changed = nullptr);
    // The newest entry of a row; null when it asked for no report.
    const Entry* find(const LongTexts::Key& key) const;
    // "送达报告：已送达 12-07 10:00:01" (UTF-8); empty for a row without one.
    std::string describe(const LongTexts::Key& key) const;
    // Drops entries still pending after kPendingSeconds, and those whose
    // row is gone; returns how many went.
    int prune(int64_t now, const std::function<bool(const LongTexts::Key&)>& rowExists);
    const std::vector<Entry>& entries() const { return m_entries; }

    // Where unmatched and dropped reports are written (stderr by default).
    std::function<void(const std::string&)> trace;

private:
    void note(const std::string& s) const;
    std::vector<Entry> m_entries;  // oldest first
};

// Whether two numbers name one recipient: equal, once a leading '+' is
// dropped and a 13-character "86..." number is taken without its "86".
bool sameRecipient(const std::string& a, const std::string& b);

}  // namespace msgdesk
