// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "contacts/ContactRecord.h"
#include "types/SimPhoneEntry.h"

namespace msgdesk {

// One row of a phonebook list: name and number as shown (GBK), the image of
// the device icon strip (0 computer contact, d the SIM of device d) and what
// the row stands for. A row carries its record or entry, so an action on it
// finds exactly that one even when two share a number.
struct PhonebookRow {
    std::string name;
    std::string number;
    int image = 0;
    ContactRecord* record = nullptr;
    SimPhoneEntry* entry = nullptr;
    bool selected = false;
};

// Multibyte name order: GBK characters compare by their code values, a
// single-byte character before every two-byte one. <0, 0 or >0.
int CompareGbkNames(std::string_view a, std::string_view b);

// True when name begins with prefix, ASCII letters compared without regard
// to case; the bytes of a two-byte character compare exactly (a trail byte
// may look like an ASCII letter).
bool NameStartsWith(std::string_view name, std::string_view prefix);

// The rows of a phonebook list and their selection, as the windows show
// them. Rows are inserted sorted by name; an equal name goes after the
// names it equals, so a rebuild keeps ties in insertion order.
class PhonebookRows final {
public:
    using Rows = std::vector<PhonebookRow>;

    const Rows& rows() const { return m_rows; }
    const PhonebookRow& at(int i) const { return m_rows[static_cast<std::size_t>(i)]; }
    PhonebookRow& at(int i) { return m_rows[static_cast<std::size_t>(i)]; }
    int size() const { return static_cast<int>(m_rows.size()); }
    bool valid(int i) const { return i >= 0 && i < size(); }

    // Inserts before the first row whose name compares greater; returns
    // the new row's index. The new row is not selected.
    int insertSorted(PhonebookRow row);
    // Replaces every row: the same order as inserting them one by one into
    // an empty list, in n log n.
    void assignSorted(Rows rows);
    void clear() { m_rows.clear(); }
    void removeAt(int i);

    void setSelected(int i, bool on);
    void selectOnly(int i);
    void clearSelection();
    std::vector<int> selected() const;
    int selectedCount() const;
    // First selected row, -1 when none.
    int firstSelected() const;
    // First row whose name begins with prefix (see NameStartsWith), -1 when none.
    int findPrefix(std::string_view prefix) const;

    ContactRecord* recordAt(int i) const { return valid(i) ? at(i).record : nullptr; }
    SimPhoneEntry* entryAt(int i) const { return valid(i) ? at(i).entry : nullptr; }

private:
    Rows m_rows;
};

// A row for a contact of the book (image 0) and for a SIM entry (image =
// its device).
PhonebookRow ContactRow(ContactRecord* record);
PhonebookRow SimEntryRow(SimPhoneEntry* entry);

}  // namespace msgdesk
