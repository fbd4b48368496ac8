// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/MailboxObserver.h"
#include "store/MessageRecord.h"

namespace msgdesk {

class LongTexts;

// Column numbers of a mailbox list.
enum MailboxColumn : int {
    ColFlag = 0,
    ColNumber = 1,
    ColContact = 2,
    ColText = 3,
    ColDate = 4,
    ColTime = 5,
    ColStatus = 6,
    ColAttempts = 7,
    kMailboxColumns = 8,
};

// One row of a mailbox: columns 1..6 are the record's fields, column 0 shows
// image rec.Icon, column 7 is the send pump's failure count (OutBox only,
// never stored). Keeping the record itself makes a load or save one copy per
// message.
struct MailboxRow {
    static constexpr int64_t kNoSendId = -1;  // the library never returns it

    MessageRecord rec;
    std::string attempts;
    // The send id of an OutBox row handed to the library, in full: Status
    // holds at most 6 digits, so results are matched here, never on Status.
    // Never stored; a loaded row has none.
    int64_t sendId = kNoSendId;
};

// The rows of one mailbox: the only live copy of its messages. The selection
// is held here too, beside the rows, so that core operations (delete,
// restore, reply) act on what the user selected and views merely mirror it.
// Window thread only.
class Mailbox final {
public:
    explicit Mailbox(MailboxId id) : m_id(id) {}
    Mailbox(const Mailbox&) = delete;
    Mailbox& operator=(const Mailbox&) = delete;

    MailboxId id() const { return m_id; }
    int size() const { return static_cast<int>(m_rows.size()); }
    bool validRow(int row) const { return row >= 0 && row < size(); }
    const MailboxRow& row(int i) const { return m_rows[static_cast<size_t>(i)]; }
    const std::vector<MailboxRow>& rows() const { return m_rows; }
    // GBK text of a column (empty for column 0).
    std::string columnText(int row, int column) const;
    // Rows whose Status begins with "NEW" exactly (the count text's rule).
    int countNew() const;

    void addObserver(MailboxObserver* o);
    void removeObserver(MailboxObserver* o);

    // --- Changes -----------------------------------------------------------
    // Appends rows with icon rec.Icon, columns 1..6 from the records and
    // Attempts empty.
    void append(const MessageRecord& rec);
    void append(const std::vector<MessageRecord>& recs);
    // Icon 0 and columns 1..6 from rec; Attempts stays.
    void replace(int row, const MessageRecord& rec);
    void setStatus(int row, std::string_view gbk);
    void setContact(int row, std::string_view gbk);
    // Not stored: no save is scheduled for these.
    void setIcon(int row, int32_t icon);
    void setAttempts(int row, std::string attempts);
    void setSendId(int row, int64_t sendId);
    // Removes the given rows (any order, duplicates ignored).
    void removeRows(std::vector<int> rows);
    void clear();
    // Replaces all rows without scheduling a save (a load).
    void loadRows(std::vector<MailboxRow>&& rows);
    // Reorders by column per the sort rules, keeping the selection with its
    // rows; returns the new position of each old position.
    // Text sorts by the whole text when `longTexts` holds some (a joined
    // long message's row keeps only its first 160 bytes).
    std::vector<int> sortBy(int column, bool ascending, const LongTexts* longTexts = nullptr);

    // --- Selection ---------------------------------------------------------
    bool isSelected(int row) const { return validRow(row) && m_selected[static_cast<size_t>(row)]; }
    int selectedCount() const { return m_selectedCount; }
    std::vector<int> selectedRows() const;
    int firstSelected() const;
    // From the view: no echo to observers.
    void setSelected(int first, int last, bool on);
    // From core: observers copy the new selection, caretRow is scrolled to.
    void selectOnly(int row);
    void selectAll();
    void clearSelection();

    // --- Sort state of the list ------------------------------------------
    int sortColumn() const { return m_sortColumn; }
    bool sortAscending() const { return m_sortAscending; }
    void setSortState(int column, bool ascending) {
        m_sortColumn = column;
        m_sortAscending = ascending;
    }

private:
    void notifyContent();
    void notifySelection(int caret);
    void removeRange(int first, int last);

    MailboxId m_id;
    std::vector<MailboxRow> m_rows;
    std::vector<uint8_t> m_selected;  // parallel to m_rows
    int m_selectedCount = 0;
    int m_sortColumn = 0;
    bool m_sortAscending = true;
    std::vector<MailboxObserver*> m_observers;
};

}  // namespace msgdesk
