// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "store/MessageRecord.h"

namespace msgdesk {

// The messages known to lie on the SIM cards: Icon = device index 1..16,
// Status = "<sim index>/<device>", the key they are removed by. Never stored.
//
// Window thread only, and therefore without a lock: the device link parses a
// SIM message on its own thread and posts the record to the main frame,
// which adds it here. The SIM message manager walks records() in order.
class SimMessageCache final {
public:
    // Which part of a concatenated message a SIM copy is; total 0 for a
    // whole message. The body is the part's full text (GBK), which the
    // record's Text may hold only cut.
    struct PartTag {
        int ref = 0;
        int partNo = 0;
        int total = 0;
        std::string body;
    };

    // Keeps a copy when rec.Icon is a device index 1..16; returns whether it
    // did (otherwise nothing changes).
    bool AddSimMessage(const MessageRecord& rec) { return AddSimMessage(rec, PartTag()); }
    bool AddSimMessage(const MessageRecord& rec, PartTag tag);
    // Removes the records of one device 1..16; any other value removes all.
    void RemoveSimMessages(int device);
    // Removes every record whose Status equals key byte for byte; true when
    // at least one was removed.
    bool RemoveSimMessageByKey(std::string_view key);

    const std::vector<MessageRecord>& records() const { return m_records; }
    // The part tags, one per record at the same position.
    const std::vector<PartTag>& tags() const { return m_tags; }
    int size() const { return static_cast<int>(m_records.size()); }

private:
    template <class Pred>
    size_t removeIf(Pred drop);

    std::vector<MessageRecord> m_records;
    std::vector<PartTag> m_tags;
};

}  // namespace msgdesk
