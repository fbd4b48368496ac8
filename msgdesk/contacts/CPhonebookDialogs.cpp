// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/CPhonebookDialogs.h"

#include <QApplication>

#include "contacts/CContactEditDlg.h"
#include "contacts/CContactInfoDlg.h"
#include "contacts/CDeviceChoiceDlg.h"
#include "contacts/CLocalPhonebookDlg.h"
#include "contacts/CSimContactEditDlg.h"
#include "contacts/CSimContactInfoDlg.h"
#include "contacts/CSimPhonebookDlg.h"

namespace msgdesk {

CPhonebookDialogs::CPhonebookDialogs(PhonebookServices& services, QWidget* mainWindow)
    : m_s(services), m_main(mainWindow) {}

QWidget* CPhonebookDialogs::parentWindow() const {
    if (QWidget* w = QApplication::activeModalWidget()) return w;
    return m_main;
}

std::optional<int> CPhonebookDialogs::chooseDevice(int attachedCount) {
    CDeviceChoiceDlg dlg(attachedCount, parentWindow());
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    return dlg.device();
}

bool CPhonebookDialogs::editContact(ContactRecord& record, ContactEditMode mode) {
    CContactEditDlg dlg(m_s.book, m_s.box, mode, record, parentWindow());
    if (dlg.exec() != QDialog::Accepted) return false;
    record = dlg.record();
    return true;
}

bool CPhonebookDialogs::editSimEntry(SimEntryInput& input, bool change, int attachedCount) {
    CSimContactEditDlg dlg(attachedCount, input, change, m_s.box, parentWindow());
    if (dlg.exec() != QDialog::Accepted) return false;
    input = dlg.input();
    return true;
}

void CPhonebookDialogs::showContactInfo(const ContactRecord& record) {
    CContactInfoDlg dlg(record, parentWindow());
    dlg.exec();
}

void CPhonebookDialogs::showSimEntryInfo(const SimPhoneEntry& entry) {
    CSimContactInfoDlg dlg(entry, parentWindow());
    dlg.exec();
}

void CPhonebookDialogs::openLocalManager() {
    CLocalPhonebookDlg dlg(m_s, parentWindow());
    dlg.exec();
}

void CPhonebookDialogs::openSimManager() {
    CSimPhonebookDlg dlg(m_s, parentWindow());
    if (onSimManager) onSimManager(&dlg);
    dlg.exec();
    if (onSimManager) onSimManager(nullptr);
}

}  // namespace msgdesk
