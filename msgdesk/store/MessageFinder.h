// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "store/MailboxObserver.h"
#include "store/MessageList.h"

namespace msgdesk {

// One row the find shows: a row of a mailbox.
struct FoundRow {
    int mailbox;
    int row;
    bool operator==(const FoundRow&) const = default;
};

// The find bar's logic over the message list. While a find text is typed,
// only the rows whose number, contact or text contains it are shown. In the
// single-mailbox mode the current mailbox's own selection is what the
// commands act on, and it never holds a hidden row; in the all-mailboxes
// mode the finder keeps its own selection and takes open, reply and forward
// (delete, restore and resend stay with the single mailbox: their rules
// differ per mailbox). Window thread only.
class MessageFinder final : public MessageListOverride, private MailboxObserver {
public:
    explicit MessageFinder(MessageList& list);
    ~MessageFinder() override;

    // The typed text (UTF-8); an empty text shows every row again.
    void setText(std::string_view utf8);
    void setAllMailboxes(bool on);
    // Esc: empty text, single mailbox.
    void clear();

    const std::string& text() const { return m_textUtf8; }
    bool allMailboxes() const { return m_all; }
    // True while the list shows found rows instead of the plain mailbox.
    bool filtering() const { return m_all || !m_folded.empty(); }
    const std::vector<FoundRow>& rows() const { return m_rows; }
    int count() const { return static_cast<int>(m_rows.size()); }
    // "找到 n 条" for the find bar (UTF-8).
    std::string countText() const;

    // Selection of shown rows (positions in rows()), from the view.
    void setSelectedShown(const std::vector<int>& shown);
    std::vector<int> selectedShown() const;
    // Double-click on a shown row.
    void openShown(int shown);

    // MessageListOverride: active in the all-mailboxes mode.
    bool active() const override { return m_all; }
    bool isCommandEnabled(unsigned id) const override;
    bool onCommand(unsigned id) override;
    std::vector<MenuItem> popupMenu() const override;

    // Told after the shown rows or their selection changed.
    std::function<void()> onRowsChanged;

private:
    void refilter(bool narrowOnly);
    void dropHiddenSelection();
    int singleSelected() const;
    void endInsertRows(const Mailbox& b) override { rowsMoved(b); }
    void endRemoveRows(const Mailbox& b) override { rowsMoved(b); }
    void endReset(const Mailbox& b) override { rowsMoved(b); }
    void rowsChanged(const Mailbox& box, int first, int last) override;
    void selectionReset(const Mailbox& box, int caretRow) override;
    void rowsMoved(const Mailbox& box);

    MessageList& m_list;
    std::string m_textUtf8;
    std::string m_folded;  // GBK, ASCII lowered
    bool m_all = false;
    int m_mailbox = MessageList::kNoList;  // the mailbox m_rows came from (single mode)
    std::vector<FoundRow> m_rows;
    std::vector<uint8_t> m_selected;  // all-mailboxes mode, parallel to m_rows
    bool m_adjusting = false;
};

// Rows of mailbox box whose number, contact or text contains folded
// (see foldFindText), appended to out in row order.
void findInMailbox(const Mailbox& box, std::string_view folded, std::vector<FoundRow>& out,
                   const LongTexts& texts);

}  // namespace msgdesk
