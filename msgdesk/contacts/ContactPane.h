// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <functional>
#include <string>

#include "contacts/PhonebookRows.h"
#include "contacts/PhonebookServices.h"

namespace msgdesk {

// The contact pane of the main window without its window: one row per
// record of the book (image 0, name, mobile), sorted by name, and the
// commands that act on its selection. CContactView draws the rows and
// forwards the user's input here.
class ContactPane final {
public:
    explicit ContactPane(PhonebookServices& s) : m_s(s) {}

    PhonebookRows& rows() { return m_rows; }
    const PhonebookRows& rows() const { return m_rows; }

    // Rebuilds every row from the book, then selects row `row` (when it
    // exists) for the view to scroll into view. With row 0 and a row
    // selected, the selected row's index is used instead.
    void RefreshRows(int row);

    // The pane is the active view from the user's click into it until a
    // click into another view; its commands are offered only then.
    void setActive(bool on) { m_active = on; }
    bool active() const { return m_active; }

    // The popup's enabling by the selection: 添加 always, 修改 with exactly
    // one row, 删除 and 移至SIM卡 with at least one.
    bool popupEnabled(int id) const;
    // The menu's enabling: the selection commands only while active.
    bool commandEnabled(int id) const;
    // 30201 add, 30202 (popup add: posts the add command to the main
    // frame), 30203 change, 30204 delete, 32818 move to SIM. Others: false.
    bool command(int id);
    static bool handles(int id);

    // Double-click: with exactly one row selected, UM_COMPOSE (its number,
    // mode 1) is posted to the main frame.
    void doubleClick();
    // The Delete key: the delete command when a row is selected.
    void deleteKey();

    void addContact();
    void changeContact();
    void deleteContacts();
    void moveToSim();

    // Called after every rebuild with the row to scroll into view (-1 none).
    std::function<void(int row)> onRowsChanged;

private:
    bool inBook(const ContactRecord* r) const { return r && m_s.book.Contains(r); }

    PhonebookServices& m_s;
    PhonebookRows m_rows;
    bool m_active = false;
};

}  // namespace msgdesk
