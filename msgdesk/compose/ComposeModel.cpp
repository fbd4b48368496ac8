// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose/ComposeModel.h"

#include <algorithm>

#include "contacts/PhoneNumber.h"
#include "device/WindowMessages.h"

namespace msgdesk {

int CompareNames(std::string_view a, std::string_view b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool PhonebookRef::sameAs(const PhonebookRef& o) const {
    if (kind != o.kind) return false;
    switch (kind) {
        case Kind::Contact:
            return contact == o.contact;
        case Kind::SimEntry:
            return device == o.device && simIndex == o.simIndex;
        case Kind::Bare:
            return number == o.number;
    }
    return false;
}

namespace {

PhonebookRef contactRef(const ContactRecord& c) {
    PhonebookRef r;
    r.kind = PhonebookRef::Kind::Contact;
    r.contact = &c;
    r.name = c.name();
    r.number = c.mobile();
    return r;
}

PhonebookRef simRef(const SimPhoneEntry& e, int device) {
    PhonebookRef r;
    r.kind = PhonebookRef::Kind::SimEntry;
    r.device = device;
    r.simIndex = e.index;
    r.name = e.nameText();
    r.number = e.numberText();
    return r;
}

}  // namespace

ComposeModel::ComposeModel(const ContactBook& book, const SimPhonebook& sims,
                           std::string_view presetNumber)
    : m_book(book), m_sims(sims) {
    refill();
    if (presetNumber.empty()) return;
    for (size_t i = 0; i < m_phonebook.size(); ++i) {
        if (m_phonebook[i].number == presetNumber) {
            m_recipients.push_back(m_phonebook[i]);
            m_phonebook.erase(m_phonebook.begin() + static_cast<long>(i));
            return;
        }
    }
    PhonebookRef bare;
    bare.number = std::string(presetNumber);
    m_recipients.push_back(std::move(bare));
}

namespace {
bool nameLess(const PhonebookRef& a, const PhonebookRef& b) {
    return CompareNames(a.name, b.name) < 0;
}
}  // namespace

int ComposeModel::insertSorted(PhonebookRef ref) {
    // Before the first row whose name is greater; equal names keep their
    // arrival order. The list is always in this order, so a binary search
    // finds the place.
    auto at = std::upper_bound(m_phonebook.begin(), m_phonebook.end(), ref, nameLess);
    const int pos = static_cast<int>(at - m_phonebook.begin());
    m_phonebook.insert(at, std::move(ref));
    return pos;
}

bool ComposeModel::isRecipient(const PhonebookRef& ref) const {
    return std::any_of(m_recipients.begin(), m_recipients.end(),
                       [&](const PhonebookRef& r) { return r.sameAs(ref); });
}

int ComposeModel::refill() {
    // Inserting each row at its sorted place, one after the other, gives the
    // order of a stable sort of the rows in arrival order; sorting once keeps
    // a full book (thousands of rows) quick.
    m_phonebook.clear();
    if (m_showLocal) {
        for (const auto& c : m_book.records()) {
            PhonebookRef ref = contactRef(*c);
            if (!isRecipient(ref)) m_phonebook.push_back(std::move(ref));
        }
    }
    if (m_showSim) {
        for (int d = 1; d <= kMaxDevices; ++d) {
            for (const auto& e : m_sims.list(d)) {
                PhonebookRef ref = simRef(*e, d);
                if (!isRecipient(ref)) m_phonebook.push_back(std::move(ref));
            }
        }
    }
    if (m_phonebook.empty()) return -1;
    const PhonebookRef last = m_phonebook.back();
    std::stable_sort(m_phonebook.begin(), m_phonebook.end(), nameLess);
    // The last row came last among its equal names.
    return static_cast<int>(
               std::upper_bound(m_phonebook.begin(), m_phonebook.end(), last, nameLess) -
               m_phonebook.begin()) -
           1;
}

int ComposeModel::setShowLocal(bool on) {
    m_showLocal = on;
    return refill();
}

int ComposeModel::setShowSim(bool on) {
    m_showSim = on;
    return refill();
}

void ComposeModel::addRecipients(std::vector<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    int removed = 0;
    for (int r : rows) {
        const int at = r - removed;
        if (r < 0 || at >= static_cast<int>(m_phonebook.size())) continue;
        m_recipients.push_back(m_phonebook[static_cast<size_t>(at)]);
        m_phonebook.erase(m_phonebook.begin() + at);
        ++removed;
    }
}

int ComposeModel::removeRecipients(std::vector<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    int removed = 0;
    int lastPos = -1;
    for (int r : rows) {
        const int at = r - removed;
        if (r < 0 || at >= static_cast<int>(m_recipients.size())) continue;
        PhonebookRef ref = std::move(m_recipients[static_cast<size_t>(at)]);
        m_recipients.erase(m_recipients.begin() + at);
        ++removed;
        lastPos = at;
        // A bare number simply goes; the others return to the phonebook.
        if (ref.kind != PhonebookRef::Kind::Bare) insertSorted(std::move(ref));
    }
    if (m_recipients.empty() || lastPos < 0) return -1;
    return std::min(lastPos, static_cast<int>(m_recipients.size()) - 1);
}

std::optional<int> ComposeModel::search(std::string_view text) const {
    for (size_t i = 0; i < m_phonebook.size(); ++i)
        if (std::string_view(m_phonebook[i].name).substr(0, text.size()) == text)
            return static_cast<int>(i);
    return std::nullopt;
}

bool ComposeModel::finish(std::string_view extraNumber) {
    m_numbers.clear();
    m_names.clear();
    for (const PhonebookRef& r : m_recipients) {
        m_numbers.push_back(r.number);
        m_names.push_back(r.kind == PhonebookRef::Kind::Bare ? std::string() : r.name);
    }
    if (!extraNumber.empty() && IsValidPhoneNumber(extraNumber)) {
        m_numbers.emplace_back(extraNumber);
        m_names.emplace_back();
    }
    return !m_numbers.empty();
}

}  // namespace msgdesk
