// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "contacts/PhonebookButtons.h"
#include "contacts/PhonebookFind.h"
#include "contacts/PhonebookRows.h"
#include "contacts/PhonebookServices.h"

namespace msgdesk {

// The device list's texts: "全部", then "Zunto[d]" for d = 1..attached
// (UTF-8). Position p of the list is device choice p (0 = all devices).
std::vector<std::string> DeviceFilterTexts(int attachedCount);
// "Zunto[d]" for d = 1..attached (UTF-8): the device choices of the SIM
// entry dialog and the device choice dialog; position p is device p + 1.
std::vector<std::string> DeviceChoiceTexts(int attachedCount);

// The SIM phonebook manager without its window: rows of the SIM entries of
// every device (device choice 0, "全部") or of one device, each row
// carrying its entry.
class SimPhonebookModel final {
public:
    explicit SimPhonebookModel(PhonebookServices& s);

    PhonebookRows& rows() { return m_rows; }
    PhonebookButtons buttons() const { return PhonebookButtons::forSelection(m_rows); }
    int deviceChoice() const { return m_choice; }

    // Rebuilds the rows for device choice d (0 all, 1..16 one device) and,
    // when findText is not empty, runs the find again.
    FindResult setDeviceChoice(int d, std::string_view findTextGbk);
    // Removes an unmatched text.
    FindResult find(std::string_view textGbk);
    // UM_SIMENTRYDONE: rebuilds and selects the row that had the selected
    // row's position (the first row when none was selected, the last when
    // the position is now past the end). Returns it, -1 for an empty list.
    int entryDone();

    // After a modal dialog or question, each of these acts only on what it
    // finds again by the entry's SIM position (device and index), and does
    // nothing when that is gone.
    //
    // 新建: the SIM entry dialog; on OK a new entry at the first free
    // position of the chosen device (60074 when the number is already on
    // that card, 60030 when the card is full). Its row is inserted sorted
    // when the device list shows that device (once: a rebuild meanwhile
    // may have listed it); the selection is not changed. Returns the row,
    // or -1.
    int newEntry();
    // 修改: keeps a copy, overwrites name and number, stores the change and
    // updates the row's texts in place. Returns that row, or -1.
    int changeEntry();
    void showInfo();
    // 删除 after 60000: a delete request per selected entry; the rows go
    // when the card confirms.
    void deleteEntries();
    // 导出到电脑: copies the selected entries into the book.
    void exportToBook();

private:
    void rebuild();
    int rowOf(const SimPhoneEntry* e) const;
    bool shows(int device) const { return m_choice == 0 || m_choice == device; }

    PhonebookServices& m_s;
    PhonebookRows m_rows;
    int m_choice = 0;
};

}  // namespace msgdesk
