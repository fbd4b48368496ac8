// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/MessageFinder.h"

#include <algorithm>
#include <cstring>

#include "platform/Codepage.h"
#include "res/StringTable.h"
#include "store/TextMatch.h"

namespace msgdesk {
namespace {

std::string_view fieldView(const char* f, size_t width) {
    return {f, strnlen(f, width)};
}

// A joined long message is searched in its whole text, not its 160 bytes.
bool recordMatches(const MessageRecord& r, std::string_view folded, const LongTexts& texts) {
    if (gbkContains(fieldView(r.Number, sizeof r.Number), folded) ||
        gbkContains(fieldView(r.Contact, sizeof r.Contact), folded))
        return true;
    if (!texts.entries().empty()) {
        for (const std::string& whole : texts.find(LongTexts::keyOf(r)))
            if (gbkContains(whole, folded)) return true;
    }
    return gbkContains(fieldView(r.Text, sizeof r.Text), folded);
}

bool lessRow(const FoundRow& a, const FoundRow& b) {
    return a.mailbox != b.mailbox ? a.mailbox < b.mailbox : a.row < b.row;
}

}  // namespace

void findInMailbox(const Mailbox& box, std::string_view folded, std::vector<FoundRow>& out,
                   const LongTexts& texts) {
    const auto& rows = box.rows();
    for (size_t i = 0; i < rows.size(); ++i)
        if (recordMatches(rows[i].rec, folded, texts))
            out.push_back({box.id(), static_cast<int>(i)});
}

MessageFinder::MessageFinder(MessageList& list) : m_list(list) {
    for (int b = 0; b < kMailboxCount; ++b)
        m_list.store().box(static_cast<MailboxId>(b)).addObserver(this);
    m_list.setOverride(this);
}

MessageFinder::~MessageFinder() {
    m_list.setOverride(nullptr);
    for (int b = 0; b < kMailboxCount; ++b)
        m_list.store().box(static_cast<MailboxId>(b)).removeObserver(this);
}

void MessageFinder::setText(std::string_view utf8) {
    std::string folded = foldFindText(platform::codepage::utf8ToGbk(utf8));
    // A text that extends the last one can only narrow what is shown.
    bool narrow = filtering() && !m_folded.empty() && folded.size() > m_folded.size() &&
                  folded.compare(0, m_folded.size(), m_folded) == 0;
    m_textUtf8 = std::string(utf8);
    m_folded = std::move(folded);
    refilter(narrow);
}

void MessageFinder::setAllMailboxes(bool on) {
    if (on == m_all) return;
    m_all = on;
    refilter(false);
}

void MessageFinder::clear() {
    m_textUtf8.clear();
    m_folded.clear();
    m_all = false;
    refilter(false);
}

std::string MessageFinder::countText() const {
    return FormatStr(33101, {int64_t{count()}});
}

void MessageFinder::refilter(bool narrowOnly) {
    // The all-mailboxes selection follows its rows where they are still shown.
    std::vector<FoundRow> keep;
    if (m_all)
        for (size_t i = 0; i < m_selected.size() && i < m_rows.size(); ++i)
            if (m_selected[i]) keep.push_back(m_rows[i]);

    if (narrowOnly && (m_all || m_mailbox == m_list.current())) {
        const MailboxStore& store = m_list.store();
        std::erase_if(m_rows, [&](const FoundRow& f) {
            const auto id = static_cast<MailboxId>(f.mailbox);
            return !recordMatches(store.box(id).row(f.row).rec, m_folded, store.longTexts(id));
        });
    } else {
        m_rows.clear();
        m_mailbox = m_list.current();
        if (m_all) {
            for (int b = 0; b < kMailboxCount; ++b)
                findInMailbox(m_list.store().box(static_cast<MailboxId>(b)), m_folded, m_rows,
                              m_list.store().longTexts(static_cast<MailboxId>(b)));
        } else if (m_mailbox != MessageList::kNoList) {
            findInMailbox(*m_list.currentBox(), m_folded, m_rows,
                          m_list.store().longTexts(m_list.currentBox()->id()));
        }
    }
    m_selected.assign(m_rows.size(), 0);
    for (const FoundRow& f : keep) {
        auto it = std::lower_bound(m_rows.begin(), m_rows.end(), f, lessRow);
        if (it != m_rows.end() && *it == f)
            m_selected[static_cast<size_t>(it - m_rows.begin())] = 1;
    }
    dropHiddenSelection();
    if (onRowsChanged) onRowsChanged();
}

void MessageFinder::dropHiddenSelection() {
    if (m_all || !filtering()) return;
    Mailbox* box = m_list.currentBox();
    if (!box || box->selectedCount() == 0) return;
    std::vector<uint8_t> shown(static_cast<size_t>(box->size()), 0);
    for (const FoundRow& f : m_rows) shown[static_cast<size_t>(f.row)] = 1;
    bool changed = false;
    m_adjusting = true;
    for (int r : box->selectedRows())
        if (!shown[static_cast<size_t>(r)]) {
            box->setSelected(r, r, false);
            changed = true;
        }
    m_adjusting = false;
    if (changed) m_list.onSelectionChanged();
}

void MessageFinder::rowsMoved(const Mailbox& box) {
    if (filtering() && (m_all || box.id() == m_mailbox)) refilter(false);
}

void MessageFinder::rowsChanged(const Mailbox& box, int first, int last) {
    if (!filtering() || (!m_all && box.id() != m_mailbox)) return;
    // Only these rows' membership can change (a status or contact name was
    // set): fixed in place, so a run of name look-ups stays cheap.
    for (int r = std::max(first, 0); r <= last && r < box.size(); ++r) {
        const FoundRow f{box.id(), r};
        auto it = std::lower_bound(m_rows.begin(), m_rows.end(), f, lessRow);
        const auto pos = it - m_rows.begin();
        const bool present = it != m_rows.end() && *it == f;
        const bool in = recordMatches(box.row(r).rec, m_folded, m_list.store().longTexts(box.id()));
        if (in && !present) {
            m_rows.insert(it, f);
            m_selected.insert(m_selected.begin() + pos, 0);
        } else if (!in && present) {
            m_rows.erase(it);
            m_selected.erase(m_selected.begin() + pos);
        }
    }
    dropHiddenSelection();
    if (onRowsChanged) onRowsChanged();
}

void MessageFinder::selectionReset(const Mailbox& box, int caretRow) {
    if (m_adjusting || m_all || !filtering() || box.id() != m_list.current()) return;
    if (m_mailbox != box.id()) {
        refilter(false);  // another mailbox was chosen
        return;
    }
    dropHiddenSelection();
    Mailbox* current = m_list.currentBox();
    if (current && current->selectedCount() == 0 && caretRow >= 0 && !m_rows.empty()) {
        // Core moved the selection to a hidden row (a show, a delete): the
        // nearest shown row at or after it takes its place, as in the list.
        auto it =
            std::lower_bound(m_rows.begin(), m_rows.end(), FoundRow{box.id(), caretRow}, lessRow);
        const int r = (it == m_rows.end() ? m_rows.back() : *it).row;
        m_adjusting = true;
        current->setSelected(r, r, true);
        m_adjusting = false;
        m_list.onSelectionChanged();
    }
    if (onRowsChanged) onRowsChanged();
}

void MessageFinder::setSelectedShown(const std::vector<int>& shown) {
    if (m_all) {
        std::fill(m_selected.begin(), m_selected.end(), 0);
        for (int s : shown)
            if (s >= 0 && s < count()) m_selected[static_cast<size_t>(s)] = 1;
        int one = singleSelected();
        if (one >= 0)
            m_list.previewRow(m_rows[static_cast<size_t>(one)].mailbox,
                              m_rows[static_cast<size_t>(one)].row);
        else
            m_list.previewRow(-1, -1);
        return;
    }
    Mailbox* box = m_list.currentBox();
    if (!box) return;
    m_adjusting = true;
    box->setSelected(0, box->size() - 1, false);
    for (int s : shown)
        if (s >= 0 && s < count()) {
            int r = m_rows[static_cast<size_t>(s)].row;
            box->setSelected(r, r, true);
        }
    m_adjusting = false;
    m_list.onSelectionChanged();
}

std::vector<int> MessageFinder::selectedShown() const {
    std::vector<int> out;
    if (m_all) {
        for (size_t i = 0; i < m_selected.size(); ++i)
            if (m_selected[i]) out.push_back(static_cast<int>(i));
        return out;
    }
    const Mailbox* box = m_list.currentBox();
    if (!box) return out;
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (box->isSelected(m_rows[i].row)) out.push_back(static_cast<int>(i));
    return out;
}

int MessageFinder::singleSelected() const {
    int found = -1;
    for (size_t i = 0; i < m_selected.size(); ++i)
        if (m_selected[i]) {
            if (found >= 0) return -1;
            found = static_cast<int>(i);
        }
    return found;
}

void MessageFinder::openShown(int shown) {
    if (shown < 0 || shown >= count()) return;
    if (!m_all) {
        m_list.onDoubleClick();
        return;
    }
    const FoundRow f = m_rows[static_cast<size_t>(shown)];
    m_list.openRow(f.mailbox, f.row);
}

bool MessageFinder::isCommandEnabled(unsigned id) const {
    switch (id) {
        case ID_MSG_REPLY:
        case ID_MSG_FORWARD:
            return singleSelected() >= 0;
        case ID_MSG_CONVERSATION:
            return singleSelected() >= 0 && m_list.hasConversation();
        case ID_MSG_SELECTALL:
            return true;
        default:  // delete, restore, resend: single mailbox only
            return false;
    }
}

bool MessageFinder::onCommand(unsigned id) {
    const int one = singleSelected();
    switch (id) {
        case ID_MSG_REPLY:
        case ID_MSG_FORWARD:
            if (one >= 0) {
                const FoundRow f = m_rows[static_cast<size_t>(one)];
                if (id == ID_MSG_REPLY)
                    m_list.replyRow(f.mailbox, f.row);
                else
                    m_list.forwardRow(f.mailbox, f.row);
            }
            return true;
        case ID_MSG_CONVERSATION:
            if (one >= 0)
                m_list.conversationRow(m_rows[static_cast<size_t>(one)].mailbox,
                                       m_rows[static_cast<size_t>(one)].row);
            return true;
        case ID_MSG_SELECTALL:
            std::fill(m_selected.begin(), m_selected.end(), 1);
            m_list.previewRow(-1, -1);
            if (onRowsChanged) onRowsChanged();
            return true;
        case ID_MSG_DELETE:
        case ID_MSG_RESTORE:
        case ID_MSG_RESEND:
            return true;  // taken, and refused: not in this mode
        default:
            return false;
    }
}

std::vector<MenuItem> MessageFinder::popupMenu() const {
    const bool one = singleSelected() >= 0;
    std::vector<MenuItem> m = {
        {ID_MSG_REPLY, CommandCaption(ID_MSG_REPLY), one},
        {ID_MSG_FORWARD, CommandCaption(ID_MSG_FORWARD), one},
        {0, "", true},
        {ID_MSG_SELECTALL, CommandCaption(ID_MSG_SELECTALL), true},
    };
    if (m_list.hasConversation()) {
        m.push_back({0, "", true});
        m.push_back({ID_MSG_CONVERSATION, CommandCaption(ID_MSG_CONVERSATION), one});
    }
    return m;
}

}  // namespace msgdesk
