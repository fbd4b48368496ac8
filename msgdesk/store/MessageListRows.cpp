// SPDX-License-Identifier: GPL-3.0-or-later
// Row commands on any mailbox, used by the find over all mailboxes.
#include "store/MessageList.h"

namespace msgdesk {

void MessageList::openRow(int mailbox, int row) {
    if (mailbox < 0 || mailbox >= kMailboxCount) return;
    Mailbox& box = m_store.box(static_cast<MailboxId>(mailbox));
    if (!box.validRow(row)) return;
    if (mailbox == InBox && box.row(row).rec.Status[0] != '\0') {
        if (m_unreadRow == row) stopUnreadTimer();
        box.setStatus(row, "");
    }
    // A draft opens in the view too: editing it would take it out of the
    // PublicBox while the found list still shows it.
    MessageRecord rec = box.row(row).rec;
    const std::string whole = shownText(mailbox, rec);
    int result = m_ports.openMessageView ? m_ports.openMessageView(rec, whole) : IDC_VIEW_CANCEL;
    if (result == IDC_VIEW_FORWARD)
        forwardRecord(mailbox, rec);
    else if (result == IDC_VIEW_REPLY)
        postCompose(rec.number(), COMPOSE_REPLY);
    postCountRefresh();
}

void MessageList::replyRow(int mailbox, int row) {
    if (mailbox < 0 || mailbox >= kMailboxCount) return;
    const Mailbox& box = m_store.box(static_cast<MailboxId>(mailbox));
    if (box.validRow(row)) postCompose(box.row(row).rec.number(), COMPOSE_REPLY);
}

void MessageList::forwardRow(int mailbox, int row) {
    if (mailbox < 0 || mailbox >= kMailboxCount) return;
    const Mailbox& box = m_store.box(static_cast<MailboxId>(mailbox));
    if (box.validRow(row)) forwardRecord(mailbox, box.row(row).rec);
}

void MessageList::previewRow(int mailbox, int row) {
    if (!m_ports.showPreview) return;
    if (mailbox < 0 || mailbox >= kMailboxCount ||
        !m_store.box(static_cast<MailboxId>(mailbox)).validRow(row)) {
        m_ports.showPreview(std::string(), std::string());
        return;
    }
    const MessageRecord& rec = m_store.box(static_cast<MailboxId>(mailbox)).row(row).rec;
    m_ports.showPreview(rec.number(), shownText(mailbox, rec));
}

std::string MessageList::shownText(int mailbox, const MessageRecord& rec) const {
    if (mailbox < 0 || mailbox >= kMailboxCount) return rec.text();
    std::string text = m_store.longTexts(static_cast<MailboxId>(mailbox)).wholeText(rec);
    if (mailbox != SentBox) return text;
    const std::string report = m_store.deliveryReports().describe(LongTexts::keyOf(rec));
    if (!report.empty()) text += "\n\n" + platform::codepage::utf8ToGbk(report);
    return text;
}

}  // namespace msgdesk
