// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <functional>
#include <memory>

#include "contacts/ContactPane.h"
#include "contacts/LinkDeviceInfo.h"
#include "contacts/MainFramePhonebookRequests.h"
#include "contacts/PhonebookServices.h"

namespace msgdesk {

// The main frame's contact side: the contact pane, the requests the
// phonebook windows send to the main frame, the device counts they read
// and the dialogs they open (the window's, once attached; until then every
// dialog is cancelled and the managers are not opened).
class ContactsCore final {
public:
    ContactsCore(ContactBook& book, SimPhonebook& sims, platform::MessageLoop& loop,
                 platform::MessageTarget* frame, platform::MessageBoxPort& box,
                 std::function<const DeviceLink*()> link);

    // The window's dialogs; null detaches them.
    void attachDialogs(PhonebookDialogs* d) { m_proxy.target = d; }
    PhonebookServices& services() { return m_services; }
    ContactPane& pane() { return m_pane; }

    // The commands of the contact menu: 30201 and 30202, the pane's
    // selection commands, 32827 (always) and 32828 (open the SIM manager;
    // the main frame decides when it is offered).
    static bool handles(int id);
    bool commandEnabled(int id) const;
    void command(int id);

private:
    // Forwards to the attached dialogs; without them every dialog answers
    // as if cancelled.
    struct DialogsProxy final : PhonebookDialogs {
        PhonebookDialogs* target = nullptr;
        std::optional<int> chooseDevice(int n) override {
            return target ? target->chooseDevice(n) : std::nullopt;
        }
        bool editContact(ContactRecord& r, ContactEditMode m) override {
            return target && target->editContact(r, m);
        }
        bool editSimEntry(SimEntryInput& in, bool change, int n) override {
            return target && target->editSimEntry(in, change, n);
        }
        void showContactInfo(const ContactRecord& r) override {
            if (target) target->showContactInfo(r);
        }
        void showSimEntryInfo(const SimPhoneEntry& e) override {
            if (target) target->showSimEntryInfo(e);
        }
        void openLocalManager() override {
            if (target) target->openLocalManager();
        }
        void openSimManager() override {
            if (target) target->openSimManager();
        }
    };

    LinkDeviceInfo m_info;
    MainFramePhonebookRequests m_requests;
    DialogsProxy m_proxy;
    PhonebookServices m_services;
    ContactPane m_pane;
};

}  // namespace msgdesk
