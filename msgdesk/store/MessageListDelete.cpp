// SPDX-License-Identifier: GPL-3.0-or-later
// The commands of the message list that move rows between mailboxes.
#include <algorithm>

#include "device/WindowMessages.h"
#include "res/StringTable.h"
#include "store/MessageList.h"

namespace msgdesk {
namespace {

int ask(platform::MessageBoxPort* mb, unsigned id, platform::MbIcon icon,
        platform::MbButtons buttons) {
    if (!mb) return platform::IDOK;
    return mb->show(
        platform::MessageBoxRequest{id, LoadStr(id), LoadStr(IDS_APP_TITLE), icon, buttons});
}

}  // namespace

MessageRecord MessageList::movedRecord(const MailboxRow& row, std::string_view status) {
    MessageRecord r;  // columns 1..5 of the row, Icon 0
    r.setNumber(row.rec.number());
    r.setContact(row.rec.contact());
    r.setText(row.rec.text());
    r.setDate(row.rec.date());
    r.setTime(row.rec.time());
    r.setStatus(status);
    return r;
}

void MessageList::deleteSelected() {
    Mailbox* box = currentBox();
    if (!box || box->selectedCount() == 0) return;
    const std::vector<int> selected = box->selectedRows();
    std::vector<int> removed;  // positions at the start, in the order they go
    std::vector<MessageRecord> moved;
    const std::string from = std::to_string(m_current);
    bool stayed = false;

    switch (m_current) {
        case DeleteBox:
            if (ask(m_ports.messageBox, 60002, platform::MbIcon::Information,
                    platform::MbButtons::OkCancel) != platform::IDOK)
                return;
            removed.assign(selected.rbegin(), selected.rend());
            break;
        case OutBox: {
            const bool link = m_ports.linkUp && m_ports.linkUp();
            for (int r : selected) {
                // Only this run's full id means anything to the library: a
                // Status read from the file is an old run's, cut to 6 digits.
                const int64_t sendId = box->row(r).sendId;
                if (link && sendId != MailboxRow::kNoSendId) {
                    // The library may still hold the message: ask it back first.
                    if (!m_ports.delMsgInBuff ||
                        m_ports.delMsgInBuff(static_cast<int>(sendId)) == 0) {
                        stayed = true;
                        continue;
                    }
                    if (m_ports.sendBatchRunning && m_ports.sendBatchRunning() &&
                        m_ports.lowerSendBatch)
                        m_ports.lowerSendBatch();
                }
                removed.push_back(r);
                moved.push_back(movedRecord(box->row(r), from));
            }
            break;
        }
        case InBox:
            // Last selected first: they reach the DeleteBox in reverse order.
            for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
                removed.push_back(*it);
                moved.push_back(movedRecord(box->row(*it), from));
            }
            break;
        default:
            for (int r : selected) {
                removed.push_back(r);
                moved.push_back(movedRecord(box->row(r), from));
            }
            break;
    }

    if (!moved.empty()) {
        carryLongTexts(static_cast<MailboxId>(m_current), removed, DeleteBox);
        m_store.AppendMessages(moved, DeleteBox);
    }
    if (!removed.empty()) {
        // Where the last removal took place when the rows go one at a time:
        // its start position less the removals before it that lay above it.
        int last = removed.back();
        int above = static_cast<int>(
            std::count_if(removed.begin(), removed.end() - 1, [last](int r) { return r < last; }));
        box->removeRows(removed);
        int pos = std::min(last - above, box->size() - 1);
        box->selectOnly(pos);
        onSelectionChanged();
    }
    if (stayed)
        ask(m_ports.messageBox, 60006, platform::MbIcon::Exclamation, platform::MbButtons::Ok);
    postCountRefresh();
}

void MessageList::restoreSelected() {
    Mailbox* box = currentBox();
    if (m_current != DeleteBox || !box || box->selectedCount() == 0) return;
    std::vector<MessageRecord> to[kMailboxCount];
    std::vector<int> removed;
    for (int r : box->selectedRows()) {
        int target = -1;
        if (!ParseDecimal(box->row(r).rec.status(), target) || target > PublicBox) continue;
        // Restored rows lose their Status: an unread message comes back read.
        to[target].push_back(movedRecord(box->row(r), ""));
        removed.push_back(r);
        carryLongTexts(DeleteBox, {r}, static_cast<MailboxId>(target));
    }
    for (int b = InBox; b <= PublicBox; ++b) m_store.AppendMessages(to[b], b);
    box->removeRows(removed);
    onSelectionChanged();
    postCountRefresh();
    runSendPump();
}

void MessageList::carryLongTexts(MailboxId from, const std::vector<int>& rows, MailboxId to) {
    LongTexts& src = m_store.longTexts(from);
    LongTexts& dst = m_store.longTexts(to);
    bool any = false;
    for (int r : rows) {
        LongTexts::Entry e;
        if (!src.take(LongTexts::keyOf(m_store.box(from).row(r).rec), {}, &e)) continue;
        dst.add(e.key, std::move(e.whole));
        any = true;
    }
    if (!any) return;
    // The new home on disk first: a crash in between leaves a copy too
    // many (dropped with its missing row), never none.
    m_store.saveLongTexts(to);
    m_store.saveLongTexts(from);
}

bool MessageList::emptyDeleteBox() {
    if (ask(m_ports.messageBox, 60002, platform::MbIcon::Information,
            platform::MbButtons::OkCancel) != platform::IDOK)
        return false;
    m_store.box(DeleteBox).clear();
    if (m_current == DeleteBox) onSelectionChanged();
    postCountRefresh();
    return true;
}

}  // namespace msgdesk
