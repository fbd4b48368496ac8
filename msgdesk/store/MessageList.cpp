// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/MessageList.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "device/WindowMessages.h"
#include "res/StringTable.h"
#include "store/ComposeRequest.h"
#include "store/CountryCodeLookup.h"
#include "store/ForwardText.h"

namespace msgdesk {

bool ParseDecimal(std::string_view s, int& out) {
    if (s.empty() || s.size() > 9) return false;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    out = v;
    return true;
}

namespace {
bool startsWithNewIgnoringCase(const MessageRecord& r) {
    return std::toupper(static_cast<unsigned char>(r.Status[0])) == 'N' &&
           std::toupper(static_cast<unsigned char>(r.Status[1])) == 'E' &&
           std::toupper(static_cast<unsigned char>(r.Status[2])) == 'W';
}
}  // namespace

MessageList::MessageList(MailboxStore& store, platform::MessageLoop& loop, MessageListPorts ports)
    : m_store(store), m_loop(loop), m_ports(std::move(ports)) {}

MessageList::~MessageList() {
    m_loop.forget(this);
}

Mailbox* MessageList::currentBox() {
    return m_current == kNoList ? nullptr : &m_store.box(static_cast<MailboxId>(m_current));
}

const Mailbox* MessageList::currentBox() const {
    return m_current == kNoList ? nullptr : &m_store.box(static_cast<MailboxId>(m_current));
}

void MessageList::postFrame(unsigned msg, platform::WPARAM w, platform::LPARAM l) {
    if (m_ports.postToFrame) m_ports.postToFrame(platform::Message{msg, w, l, nullptr});
}

void MessageList::runSendPump() {
    if (m_ports.sendToFrame) m_ports.sendToFrame(platform::Message{UM_SENDQUEUE, 0, 0, nullptr});
}

void MessageList::postCountRefresh() {
    postFrame(UM_STATUSPANE, PANE_MAILBOX, 1);
}

void MessageList::forwardRecord(int mailbox, const MessageRecord& rec) {
    if (mailbox < 0 || mailbox >= kMailboxCount) return;
    const std::string whole = m_store.longTexts(static_cast<MailboxId>(mailbox)).wholeText(rec);
    ForwardText f = ForwardTextOf(rec, whole);
    postCompose(std::move(f.text), COMPOSE_FORWARD);
    if (f.shortened && m_ports.messageBox) m_ports.messageBox->show(ForwardShortenedNotice());
}

void MessageList::postCompose(std::string text, int mode) {
    // The payload owns the text wParam points to, until the frame is done.
    if (m_ports.postToFrame) m_ports.postToFrame(MakeComposeRequest(std::move(text), mode));
}

void MessageList::ShowMailbox(int mailbox) {
    m_current = (mailbox >= 0 && mailbox < kMailboxCount) ? mailbox : kNoList;
    if (onCurrentChanged) onCurrentChanged(m_current);
    Mailbox* box = currentBox();
    if (!box) return;
    box->selectOnly(box->size() - 1);
    onSelectionChanged();
}

bool MessageList::unreadTimerRunning() const {
    return m_loop.timerActive(const_cast<MessageList*>(this), kTimerUnread);
}

void MessageList::stopUnreadTimer() {
    m_loop.killTimer(this, kTimerUnread);
}

void MessageList::onSelectionChanged() {
    stopUnreadTimer();
    Mailbox* box = currentBox();
    int single = (box && box->selectedCount() == 1) ? box->firstSelected() : -1;
    if (box && m_current == InBox && single >= 0) {
        m_unreadRow = single;
        if (startsWithNewIgnoringCase(box->row(single).rec))
            m_loop.setTimer(this, kTimerUnread, kUnreadMs);
    }
    if (m_ports.showPreview) {
        if (single >= 0)
            m_ports.showPreview(box->row(single).rec.number(),
                                shownText(m_current, box->row(single).rec));
        else
            m_ports.showPreview(std::string(), std::string());
    }
}

void MessageList::onTimer(unsigned id) {
    if (id != kTimerUnread) return;
    // Keeps ticking until the next selection change; only the first tick
    // that finds the row still unread changes anything.
    Mailbox& in = m_store.box(InBox);
    if (!in.isSelected(m_unreadRow) || in.row(m_unreadRow).rec.Status[0] == '\0') return;
    in.setStatus(m_unreadRow, "");
    postCountRefresh();
}

void MessageList::onDoubleClick() {
    Mailbox* box = currentBox();
    if (!box || box->selectedCount() == 0) return;
    if (m_current == PublicBox) {
        // Without the compose dialog the draft would leave its box for good.
        if (box->selectedCount() != 1 || missing(ID_MSG_NEW)) return;
        int r = box->firstSelected();
        const MessageRecord& rec = box->row(r).rec;
        // The three fields travel apart, so a comma in the contact name
        // cannot move part of it into the text.
        if (m_ports.postToFrame)
            m_ports.postToFrame(MakeDraftRequest(rec.number(), rec.contact(), rec.text()));
        // The compose dialog files the draft again when it closes.
        box->removeRows({r});
        box->selectOnly(std::min(r, box->size() - 1));
        onSelectionChanged();
        postCountRefresh();
        return;
    }
    int r = box->firstSelected();
    if (m_current == InBox && box->selectedCount() == 1 && box->row(r).rec.Status[0] != '\0') {
        stopUnreadTimer();
        box->setStatus(r, "");
    }
    MessageRecord rec = box->row(r).rec;
    const std::string whole = shownText(m_current, rec);
    int result = m_ports.openMessageView ? m_ports.openMessageView(rec, whole) : IDC_VIEW_CANCEL;
    if (result == IDC_VIEW_FORWARD)
        forwardRecord(m_current, rec);
    else if (result == IDC_VIEW_REPLY)
        postCompose(rec.number(), COMPOSE_REPLY);
    postCountRefresh();
}

void MessageList::conversationRow(int mailbox, int row) {
    if (mailbox < 0 || mailbox >= kMailboxCount || !m_ports.openConversation) return;
    const Mailbox& box = m_store.box(static_cast<MailboxId>(mailbox));
    if (box.validRow(row)) m_ports.openConversation(box.row(row).rec.number());
}

void MessageList::reply() {
    const Mailbox* box = currentBox();
    if (!box || box->selectedCount() == 0) return;
    postCompose(box->row(box->firstSelected()).rec.number(), COMPOSE_REPLY);
}

void MessageList::forward() {
    const Mailbox* box = currentBox();
    if (!box || box->selectedCount() == 0) return;
    forwardRecord(m_current, box->row(box->firstSelected()).rec);
}

void MessageList::selectAll() {
    Mailbox* box = currentBox();
    if (!box) return;
    box->selectAll();
    onSelectionChanged();
}

void MessageList::resendSelected() {
    Mailbox& out = m_store.box(OutBox);
    if (m_current != OutBox) return;
    for (int r : out.selectedRows()) {
        out.setAttempts(r, std::string());
        out.setIcon(r, 0);
    }
    runSendPump();
}

void MessageList::sortByColumn(int column) {
    Mailbox* box = currentBox();
    if (!box || column < 0 || column >= kMailboxColumns) return;
    bool ascending = column == box->sortColumn() ? !box->sortAscending() : true;
    box->setSortState(column, ascending);
    std::vector<int> newPos =
        box->sortBy(column, ascending, &m_store.longTexts(static_cast<MailboxId>(m_current)));
    if (m_current == InBox && m_unreadRow >= 0 && m_unreadRow < static_cast<int>(newPos.size()))
        m_unreadRow = newPos[static_cast<size_t>(m_unreadRow)];
}

void MessageList::refreshContactNames() {
    if (!m_ports.lookupNameByNumber) return;
    for (int b = 0; b < kMailboxCount; ++b) {
        Mailbox& box = m_store.box(static_cast<MailboxId>(b));
        for (int r = 0; r < box.size(); ++r) {
            std::string number = box.row(r).rec.number();
            std::string name = lookupNameWithCountryCode(number, m_ports.lookupNameByNumber);
            if (!name.empty() && name != box.row(r).rec.contact()) box.setContact(r, name);
        }
    }
}

std::optional<std::string> MessageList::countText() const {
    const Mailbox* box = currentBox();
    if (!box) return std::nullopt;
    switch (m_current) {
        case InBox:
            return FormatStr(60017, {int64_t{box->size()}, int64_t{box->countNew()}});
        case OutBox:
            return FormatStr(60018, {int64_t{box->size()}});
        case SentBox:
            return FormatStr(60019, {int64_t{box->size()}});
        case PublicBox:
            return FormatStr(60020, {int64_t{box->size()}});
        default:
            return FormatStr(60021, {int64_t{box->size()}});
    }
}

bool MessageList::isCommandEnabled(unsigned id) const {
    if (m_override && m_override->active()) return m_override->isCommandEnabled(id);
    const Mailbox* box = currentBox();
    int sel = box ? box->selectedCount() : 0;
    switch (id) {
        case ID_MSG_REPLY:
        case ID_MSG_FORWARD:
            return box && sel == 1 && !missing(id);
        case ID_MSG_SELECTALL:
            return box != nullptr;
        case ID_MSG_DELETE:
            return box && sel >= 1;
        case ID_MSG_RESTORE:
            return m_current == DeleteBox && sel >= 1;
        case ID_MSG_RESEND:
            return m_current == OutBox;
        case ID_MSG_CONVERSATION:
            return box && sel == 1 && hasConversation();
        default:
            return false;
    }
}

bool MessageList::onCommand(unsigned id) {
    if (m_override && m_override->active()) return m_override->onCommand(id);
    switch (id) {
        case ID_MSG_REPLY:
            reply();
            return true;
        case ID_MSG_FORWARD:
            forward();
            return true;
        case ID_MSG_SELECTALL:
            selectAll();
            return true;
        case ID_MSG_DELETE:
            deleteSelected();
            return true;
        case ID_MSG_RESTORE:
            restoreSelected();
            return true;
        case ID_MSG_RESEND:
            resendSelected();
            return true;
        case ID_MSG_CONVERSATION:
            if (const Mailbox* box = currentBox(); box && box->selectedCount() == 1)
                conversationRow(m_current, box->firstSelected());
            return true;
        default:
            return false;
    }
}

std::vector<MenuItem> MessageList::popupMenu() const {
    if (m_override && m_override->active()) return m_override->popupMenu();
    const Mailbox* box = currentBox();
    if (!box) return {};
    int sel = box->selectedCount();
    std::vector<MenuItem> m = {
        {ID_MSG_REPLY, CommandCaption(ID_MSG_REPLY), sel == 1 && !missing(ID_MSG_REPLY)},
        {ID_MSG_FORWARD, CommandCaption(ID_MSG_FORWARD), sel == 1 && !missing(ID_MSG_FORWARD)},
        {0, "", true},
        {ID_MSG_SELECTALL, CommandCaption(ID_MSG_SELECTALL), true},
        {ID_MSG_DELETE, CommandCaption(ID_MSG_DELETE), sel >= 1},
    };
    if (sel >= 1 && m_current == OutBox)
        m.insert(m.begin() + 2, MenuItem{ID_MSG_RESEND, CommandCaption(ID_MSG_RESEND), true});
    if (sel >= 1 && m_current == DeleteBox)
        m.push_back(MenuItem{ID_MSG_RESTORE, CommandCaption(ID_MSG_RESTORE), true});
    if (hasConversation()) {
        m.push_back(MenuItem{0, "", true});
        m.push_back(MenuItem{ID_MSG_CONVERSATION, CommandCaption(ID_MSG_CONVERSATION), sel == 1});
    }
    return m;
}

}  // namespace msgdesk
