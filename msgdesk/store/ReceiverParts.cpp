// SPDX-License-Identifier: GPL-3.0-or-later
// Joining the parts of long messages: each part is kept in the assembly
// file before its SIM copy may go; a complete message becomes one InBox
// row with its whole text in the InBox's sidecar.
#include <algorithm>
#include <ctime>

#include "device/WindowMessages.h"
#include "store/NewMessageNotice.h"
#include "store/Receiver.h"

namespace msgdesk {

std::int64_t Receiver::now() const {
    return m_ports.now ? m_ports.now() : static_cast<std::int64_t>(std::time(nullptr));
}

PartAssembly::Part Receiver::partOf(const ReceivedSms& sms) const {
    PartAssembly::Part p;
    p.number = sms.number;
    p.date = sms.date;
    p.time = sms.time;
    p.body = sms.body;
    p.ref = sms.partRef;
    p.partNo = sms.partNo;
    p.total = sms.partTotal;
    p.arrived = now();
    return p;
}

void Receiver::filePart(const ReceivedSms& sms, bool attached) {
    // A part seen twice is kept once; its second SIM copy goes like the first.
    const bool onDisk = m_parts.add(partOf(sms)) != PartAssembly::Added::Failed;
    if (m_settings.SaveInCard == 0 && onDisk) {
        m_journal.add(journalEntry(sms));
        if (attached) deleteFiled(sms);
    } else if (attached) {
        addSimCopy(sms);
    }
    fileWaitingParts(false);
    post(UM_STATUSPANE, PANE_ACTIVITY, 226);
}

int Receiver::fileWaitingParts(bool all) {
    std::vector<PartAssembly::Group> due = m_parts.complete();
    // Late parts of a message filed with gaps go at once: the rest of
    // their message is in the InBox already.
    for (auto& g : m_parts.overdue(now(), -1)) {
        if (static_cast<int>(g.size()) == g.front().total) continue;
        if (all || PartAssembly::isOverdue(g, now(), kPartsMaxAge) || m_parts.fillsFiledGap(g))
            due.push_back(std::move(g));
    }
    int filed = 0;
    for (const auto& g : due)
        if (fileGroup(g)) ++filed;
    if (filed > 0) {
        post(UM_NEWMESSAGE, 0, 0);
        post(UM_STATUSPANE, PANE_MAILBOX, 1);
    }
    return filed;
}

bool Receiver::fileGroup(const PartAssembly::Group& g) {
    const PartAssembly::Part& first = g.front();
    const std::string whole = PartAssembly::joinedText(g);
    ReceivedSms head;
    head.number = first.number;
    head.date = first.date;
    head.time = first.time;
    head.body = whole;
    const MessageRecord rec = inboxRecord(head);  // Text: 160 bytes at a character boundary
    const LongTexts::Key key = LongTexts::keyOf(rec);
    LongTexts& side = m_store.longTexts(InBox);
    const bool needSide = whole != rec.text();
    const auto texts = side.find(key);
    const bool sideThere = !needSide || std::find(texts.begin(), texts.end(), whole) != texts.end();
    const auto& rows = m_store.box(InBox).rows();
    const bool rowThere = std::any_of(rows.begin(), rows.end(), [&](const MailboxRow& r) {
        return LongTexts::keyOf(r.rec) == key;
    });
    // Filed before the program stopped, the parts not yet dropped.
    const bool filedBefore = rowThere && sideThere;
    if (!filedBefore) {
        // The whole text is on disk before its row, and both before the
        // parts are dropped: a crash in between files it again at most
        // from the same parts, never loses it.
        if (needSide && !sideThere && !saveWholeText(key, whole))
            return false;  // the parts wait for the next try
        m_store.AppendMessage(rec, InBox);
        if (!m_store.saveNow(InBox)) return false;
        if (m_ports.notify) m_ports.notify(NewMessageNotice(rec));
    }
    m_parts.remove(g, now());
    return !filedBefore;
}

}  // namespace msgdesk
