// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string_view>

#include "contacts/PhonebookButtons.h"
#include "contacts/PhonebookFind.h"
#include "contacts/PhonebookRows.h"
#include "contacts/PhonebookServices.h"

namespace msgdesk {

// The computer's phonebook manager without its window: a sorted row per
// record of the book, each carrying its record.
class LocalPhonebookModel final {
public:
    explicit LocalPhonebookModel(PhonebookServices& s);

    PhonebookRows& rows() { return m_rows; }
    PhonebookButtons buttons() const { return PhonebookButtons::forSelection(m_rows); }
    // Leaves an unmatched text selected.
    FindResult find(std::string_view textGbk);

    // 新建: on OK the record is appended to the book and its row inserted
    // sorted (the selection stays as it was); returns that row, -1 when
    // cancelled. Posts the contact pane's and the message list's refresh
    // after an OK.
    int newContact();
    // 修改: the selected row's record; on OK its fields are copied back and
    // the row's texts change in place. Both refreshes are posted either way.
    void changeContact();
    // 属性: the record of the one selected row, if still in the book.
    void showInfo();
    // 删除 after 60000: the selected rows' records go, last row first.
    void deleteContacts();
    // 存入SIM卡 with the selected rows' records.
    void moveToSim();

private:
    int rowOf(const ContactRecord* record) const;

    PhonebookServices& m_s;
    PhonebookRows m_rows;
};

}  // namespace msgdesk
