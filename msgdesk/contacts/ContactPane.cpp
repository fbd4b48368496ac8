// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/ContactPane.h"

#include <memory>

#include "contacts/ContactMessageBox.h"
#include "contacts/ContactTransfer.h"
#include "device/WindowMessages.h"
#include "types/Commands.h"

namespace msgdesk {

void ContactPane::RefreshRows(int row) {
    if (row == 0 && m_rows.firstSelected() >= 0) row = m_rows.firstSelected();
    PhonebookRows::Rows rows;
    rows.reserve(m_s.book.size());
    for (const auto& r : m_s.book.records()) rows.push_back(ContactRow(r.get()));
    m_rows.assignSorted(std::move(rows));
    int shown = m_rows.valid(row) ? row : -1;
    m_rows.setSelected(shown, true);
    if (onRowsChanged) onRowsChanged(shown);
}

bool ContactPane::handles(int id) {
    return id == cmd::AddContact || id == cmd::AddContactPopup || id == cmd::ChangeContact ||
           id == cmd::DeleteContact || id == cmd::MoveToSim;
}

bool ContactPane::popupEnabled(int id) const {
    switch (id) {
        case cmd::AddContactPopup:
        case cmd::AddContact:
            return true;
        case cmd::ChangeContact:
            return m_rows.selectedCount() == 1;
        case cmd::DeleteContact:
        case cmd::MoveToSim:
            return m_rows.selectedCount() >= 1;
        default:
            return false;
    }
}

bool ContactPane::commandEnabled(int id) const {
    if (id == cmd::AddContact || id == cmd::AddContactPopup) return true;
    return m_active && popupEnabled(id);
}

bool ContactPane::command(int id) {
    if (!commandEnabled(id)) return false;
    switch (id) {
        case cmd::AddContact:
            addContact();
            return true;
        case cmd::AddContactPopup:
            m_s.post(cmd::WM_COMMAND, static_cast<platform::WPARAM>(cmd::AddContact));
            return true;
        case cmd::ChangeContact:
            changeContact();
            return true;
        case cmd::DeleteContact:
            deleteContacts();
            return true;
        case cmd::MoveToSim:
            moveToSim();
            return true;
        default:
            return false;
    }
}

void ContactPane::doubleClick() {
    if (m_rows.selectedCount() != 1) return;
    // The payload owns the text wParam points to until the frame is done.
    auto text = std::make_shared<std::string>(m_rows.at(m_rows.firstSelected()).number);
    auto w = reinterpret_cast<platform::WPARAM>(text->c_str());
    if (m_s.postToFrame) m_s.postToFrame(platform::Message{UM_COMPOSE, w, 1, text});
}

void ContactPane::deleteKey() {
    if (m_rows.selectedCount() >= 1) deleteContacts();
}

void ContactPane::addContact() {
    auto record = NewContactRecord();
    if (m_s.dialogs.editContact(*record, ContactEditMode::Add)) {
        m_s.book.AddContact(std::move(record));
        RefreshRows(0);
    }
    m_s.post(UM_REFRESHVIEWS, REFRESH_MESSAGE_LIST);
}

void ContactPane::changeContact() {
    int row = m_rows.firstSelected();
    ContactRecord* record = m_rows.recordAt(row);
    if (!inBook(record)) return;
    ContactRecord edited = *record;
    if (m_s.dialogs.editContact(edited, ContactEditMode::Change) && inBook(record)) {
        *record = edited;
        m_s.book.notifyChanged();
        RefreshRows(row);
    }
    m_s.post(UM_REFRESHVIEWS, REFRESH_MESSAGE_LIST);
}

void ContactPane::deleteContacts() {
    std::vector<int> sel = m_rows.selected();
    if (sel.empty()) return;
    // The row's own record (another may share its number), taken before
    // the question: the pane is rebuilt while it is open when a device goes.
    std::vector<ContactRecord*> records;
    for (int i : sel) records.push_back(m_rows.recordAt(i));
    if (ShowStringBox(m_s.box, 60000, platform::MbIcon::Information, {},
                      platform::MbButtons::OkCancel) != platform::IDOK)
        return;
    for (ContactRecord* record : records)
        if (inBook(record)) m_s.book.RemoveContact(record);
    RefreshRows(sel.back());
}

void ContactPane::moveToSim() {
    std::vector<const ContactRecord*> records;
    for (int i : m_rows.selected()) {
        ContactRecord* r = m_rows.recordAt(i);
        records.push_back(inBook(r) ? r : nullptr);
    }
    if (records.empty()) return;
    MoveContactsToSim(records, m_s.sims, m_s.devices, m_s.dialogs, m_s.requests, m_s.box);
}

}  // namespace msgdesk
