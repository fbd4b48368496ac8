// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/LocalPhonebookModel.h"

#include "contacts/ContactMessageBox.h"
#include "contacts/ContactTransfer.h"
#include "device/WindowMessages.h"

namespace msgdesk {

LocalPhonebookModel::LocalPhonebookModel(PhonebookServices& s) : m_s(s) {
    PhonebookRows::Rows rows;
    for (const auto& r : m_s.book.records()) rows.push_back(ContactRow(r.get()));
    m_rows.assignSorted(std::move(rows));
}

FindResult LocalPhonebookModel::find(std::string_view textGbk) {
    return RunFind(m_rows, textGbk, UnmatchedFindText::Select, m_s.box);
}

int LocalPhonebookModel::newContact() {
    auto record = NewContactRecord();
    if (!m_s.dialogs.editContact(*record, ContactEditMode::Add)) return -1;
    ContactRecord* stored = m_s.book.AddContact(std::move(record));
    int row = m_rows.insertSorted(ContactRow(stored));
    m_s.post(UM_REFRESHVIEWS, REFRESH_CONTACT_PANE);
    m_s.post(UM_REFRESHVIEWS, REFRESH_MESSAGE_LIST);
    return row;
}

void LocalPhonebookModel::changeContact() {
    int row = m_rows.firstSelected();
    ContactRecord* record = m_rows.recordAt(row);
    if (record && m_s.book.Contains(record)) {
        ContactRecord edited = *record;
        // After the dialog the record is found again, and its row by it.
        if (m_s.dialogs.editContact(edited, ContactEditMode::Change) && m_s.book.Contains(record)) {
            *record = edited;
            m_s.book.notifyChanged();
            row = rowOf(record);
            if (row >= 0) {
                m_rows.at(row).name = record->name();
                m_rows.at(row).number = record->mobile();
            }
        }
    }
    m_s.post(UM_REFRESHVIEWS, REFRESH_CONTACT_PANE);
    m_s.post(UM_REFRESHVIEWS, REFRESH_MESSAGE_LIST);
}

void LocalPhonebookModel::showInfo() {
    if (m_rows.selectedCount() != 1) return;
    ContactRecord* record = m_rows.recordAt(m_rows.firstSelected());
    if (record && m_s.book.Contains(record)) m_s.dialogs.showContactInfo(*record);
}

int LocalPhonebookModel::rowOf(const ContactRecord* record) const {
    for (int i = 0; i < m_rows.size(); ++i)
        if (m_rows.at(i).record == record) return i;
    return -1;
}

void LocalPhonebookModel::deleteContacts() {
    // The records, not the row numbers, cross the question.
    std::vector<ContactRecord*> records;
    for (int i : m_rows.selected()) records.push_back(m_rows.recordAt(i));
    if (records.empty()) return;
    if (ShowStringBox(m_s.box, 60000, platform::MbIcon::Information, {},
                      platform::MbButtons::OkCancel) != platform::IDOK)
        return;
    for (auto it = records.rbegin(); it != records.rend(); ++it) {
        const int row = rowOf(*it);
        if (row < 0) continue;
        if (*it && m_s.book.Contains(*it)) m_s.book.RemoveContact(*it);
        m_rows.removeAt(row);
    }
    m_s.post(UM_REFRESHVIEWS, REFRESH_CONTACT_PANE);
}

void LocalPhonebookModel::moveToSim() {
    std::vector<const ContactRecord*> records;
    for (int i : m_rows.selected()) {
        ContactRecord* r = m_rows.recordAt(i);
        records.push_back(r && m_s.book.Contains(r) ? r : nullptr);
    }
    if (records.empty()) return;
    MoveContactsToSim(records, m_s.sims, m_s.devices, m_s.dialogs, m_s.requests, m_s.box);
}

}  // namespace msgdesk
