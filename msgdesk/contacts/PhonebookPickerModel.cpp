// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/PhonebookPickerModel.h"

#include "contacts/ContactMessageBox.h"
#include "device/WindowMessages.h"

namespace msgdesk {

PhonebookPickerModel::PhonebookPickerModel(ContactBook& book, SimPhonebook& sims,
                                           platform::MessageBoxPort& box)
    : m_bookRef(book), m_simsRef(sims), m_box(box) {
    setSources(true, false);
}

void PhonebookPickerModel::setSources(bool book, bool sims) {
    m_book = book;
    m_sims = sims;
    PhonebookRows::Rows rows;
    if (m_book)
        for (const auto& r : m_bookRef.records()) rows.push_back(ContactRow(r.get()));
    if (m_sims)
        for (int d = 1; d <= kMaxDevices; ++d)
            for (const auto& e : m_simsRef.list(d)) rows.push_back(SimEntryRow(e.get()));
    m_rows.assignSorted(std::move(rows));
}

FindResult PhonebookPickerModel::find(std::string_view textGbk) {
    return RunFind(m_rows, textGbk, UnmatchedFindText::Remove, m_box);
}

bool PhonebookPickerModel::accept() {
    int row = m_rows.firstSelected();
    if (row < 0) {
        ShowStringBox(m_box, 60062, platform::MbIcon::Information);
        return false;
    }
    m_number = m_rows.at(row).number;
    m_name = m_rows.at(row).name;
    return true;
}

}  // namespace msgdesk
