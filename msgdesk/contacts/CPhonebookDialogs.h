// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QPointer>
#include <QWidget>
#include <functional>

#include "contacts/PhonebookDialogs.h"
#include "contacts/PhonebookServices.h"

namespace msgdesk {

class CSimPhonebookDlg;

// The phonebook dialogs as the program opens them: each modal, made for
// its request and destroyed after it, parented to the window that asked
// (the open modal dialog, else the main window).
class CPhonebookDialogs final : public PhonebookDialogs {
public:
    CPhonebookDialogs(PhonebookServices& services, QWidget* mainWindow);

    std::optional<int> chooseDevice(int attachedCount) override;
    bool editContact(ContactRecord& record, ContactEditMode mode) override;
    bool editSimEntry(SimEntryInput& input, bool change, int attachedCount) override;
    void showContactInfo(const ContactRecord& record) override;
    void showSimEntryInfo(const SimPhoneEntry& entry) override;
    void openLocalManager() override;
    void openSimManager() override;

    // Told when the SIM phonebook manager opens (the dialog) and closes
    // (null): the main frame holds it as its open modal dialog.
    std::function<void(CSimPhonebookDlg*)> onSimManager;

private:
    QWidget* parentWindow() const;

    PhonebookServices& m_s;
    QPointer<QWidget> m_main;
};

}  // namespace msgdesk
