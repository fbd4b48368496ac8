// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>
#include <string_view>

#include "contacts/ContactBook.h"
#include "contacts/PhonebookFind.h"
#include "contacts/PhonebookRows.h"
#include "device/SimPhonebook.h"
#include "platform/MessageBox.h"

namespace msgdesk {

// The phonebook picker without its window: the book's contacts and, on
// request, the SIM entries of all devices; the user picks one number.
class PhonebookPickerModel final {
public:
    PhonebookPickerModel(ContactBook& book, SimPhonebook& sims, platform::MessageBoxPort& box);

    PhonebookRows& rows() { return m_rows; }
    bool showsBook() const { return m_book; }
    bool showsSims() const { return m_sims; }
    // Ticking or unticking either box rebuilds: the book's contacts, then
    // the SIM entries device by device.
    void setSources(bool book, bool sims);
    // Removes an unmatched text.
    FindResult find(std::string_view textGbk);
    // 确定 (and double-click): without a selected row 60062 and false (the
    // picker stays open); otherwise the row's number and name become the
    // result.
    bool accept();
    const std::string& number() const { return m_number; }
    const std::string& name() const { return m_name; }

private:
    ContactBook& m_bookRef;
    SimPhonebook& m_simsRef;
    platform::MessageBoxPort& m_box;
    PhonebookRows m_rows;
    bool m_book = true;
    bool m_sims = false;
    std::string m_number;
    std::string m_name;
};

}  // namespace msgdesk
