// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/PhonebookRows.h"

#include <algorithm>

#include "platform/Codepage.h"

namespace msgdesk {

int CompareGbkNames(std::string_view a, std::string_view b) {
    // Lead bytes are 0x81..0xFE and trail bytes follow them, so comparing
    // unsigned bytes orders two-byte characters by code value and puts every
    // single-byte character first, as the multibyte comparison does.
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        auto x = static_cast<unsigned char>(a[i]);
        auto y = static_cast<unsigned char>(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

namespace {
unsigned char foldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}
}  // namespace

bool NameStartsWith(std::string_view name, std::string_view prefix) {
    if (prefix.size() > name.size()) return false;
    std::size_t i = 0;
    while (i < prefix.size()) {
        auto c = static_cast<unsigned char>(name[i]);
        const std::size_t n = platform::codepage::charLength(name, i);
        if (n > 1) {
            if (i + n > prefix.size()) return false;  // part of a character
            if (name.substr(i, n) != prefix.substr(i, n)) return false;
            i += n;
            continue;
        }
        if (foldAscii(c) != foldAscii(static_cast<unsigned char>(prefix[i]))) return false;
        ++i;
    }
    return true;
}

int PhonebookRows::insertSorted(PhonebookRow row) {
    row.selected = false;
    auto it = std::find_if(m_rows.begin(), m_rows.end(), [&](const PhonebookRow& r) {
        return CompareGbkNames(r.name, row.name) > 0;
    });
    it = m_rows.insert(it, std::move(row));
    return static_cast<int>(it - m_rows.begin());
}

void PhonebookRows::assignSorted(Rows rows) {
    for (auto& r : rows) r.selected = false;
    std::stable_sort(rows.begin(), rows.end(), [](const PhonebookRow& a, const PhonebookRow& b) {
        return CompareGbkNames(a.name, b.name) < 0;
    });
    m_rows = std::move(rows);
}

void PhonebookRows::removeAt(int i) {
    if (valid(i)) m_rows.erase(m_rows.begin() + i);
}

void PhonebookRows::setSelected(int i, bool on) {
    if (valid(i)) at(i).selected = on;
}

void PhonebookRows::selectOnly(int i) {
    clearSelection();
    setSelected(i, true);
}

void PhonebookRows::clearSelection() {
    for (auto& r : m_rows) r.selected = false;
}

std::vector<int> PhonebookRows::selected() const {
    std::vector<int> out;
    for (int i = 0; i < size(); ++i)
        if (at(i).selected) out.push_back(i);
    return out;
}

int PhonebookRows::selectedCount() const {
    return static_cast<int>(std::count_if(m_rows.begin(), m_rows.end(),
                                          [](const PhonebookRow& r) { return r.selected; }));
}

int PhonebookRows::firstSelected() const {
    for (int i = 0; i < size(); ++i)
        if (at(i).selected) return i;
    return -1;
}

int PhonebookRows::findPrefix(std::string_view prefix) const {
    for (int i = 0; i < size(); ++i)
        if (NameStartsWith(at(i).name, prefix)) return i;
    return -1;
}

PhonebookRow ContactRow(ContactRecord* record) {
    PhonebookRow r;
    r.name = record->name();
    r.number = record->mobile();
    r.image = 0;
    r.record = record;
    return r;
}

PhonebookRow SimEntryRow(SimPhoneEntry* entry) {
    PhonebookRow r;
    r.name = entry->nameText();
    r.number = entry->numberText();
    r.image = entry->device;
    r.entry = entry;
    return r;
}

}  // namespace msgdesk
