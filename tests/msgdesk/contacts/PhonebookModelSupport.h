// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <deque>
#include <vector>

#include "ContactTestSupport.h"
#include "contacts/PhonebookDialogs.h"
#include "contacts/PhonebookRows.h"
#include "contacts/PhonebookServices.h"

namespace contacts_test {

// Dialogs answered from a script: each edit takes the next prepared
// answer (nullopt: cancelled) and records what it was shown.
struct ScriptedDialogs final : msgdesk::PhonebookDialogs {
    std::deque<std::optional<msgdesk::ContactRecord>> contactAnswers;
    std::deque<std::optional<msgdesk::SimEntryInput>> simAnswers;
    std::vector<msgdesk::ContactRecord> contactsShown;
    std::vector<msgdesk::SimEntryInput> simShown;
    std::vector<bool> simChangeMode;
    int infoShown = 0;
    int simInfoShown = 0;
    std::optional<int> device = 1;

    std::optional<int> chooseDevice(int) override { return device; }
    bool editContact(msgdesk::ContactRecord& r, msgdesk::ContactEditMode) override {
        contactsShown.push_back(r);
        if (contactAnswers.empty() || !contactAnswers.front()) {
            if (!contactAnswers.empty()) contactAnswers.pop_front();
            return false;
        }
        r = *contactAnswers.front();
        contactAnswers.pop_front();
        return true;
    }
    bool editSimEntry(msgdesk::SimEntryInput& in, bool change, int) override {
        simShown.push_back(in);
        simChangeMode.push_back(change);
        if (simAnswers.empty() || !simAnswers.front()) {
            if (!simAnswers.empty()) simAnswers.pop_front();
            return false;
        }
        in = *simAnswers.front();
        simAnswers.pop_front();
        return true;
    }
    void showContactInfo(const msgdesk::ContactRecord&) override { ++infoShown; }
    void showSimEntryInfo(const msgdesk::SimPhoneEntry&) override { ++simInfoShown; }
    int localManagers = 0;
    int simManagers = 0;
    void openLocalManager() override { ++localManagers; }
    void openSimManager() override { ++simManagers; }
};

// Everything a phonebook model works on, with recording fakes.
struct PhonebookBench {
    msgdesk::ContactBook book;
    msgdesk::SimPhonebook sims;
    FakeDevices devices;
    RecordingRequests requests;
    platform::ScriptedMessageBox box;
    ScriptedDialogs dialogs;
    std::vector<platform::Message> posted;
    msgdesk::PhonebookServices services{book,
                                        sims,
                                        devices,
                                        requests,
                                        box,
                                        dialogs,
                                        [this](platform::Message m) { posted.push_back(m); }};

    msgdesk::ContactRecord* add(const char* utf8Name, const std::string& mobile) {
        auto r = msgdesk::NewContactRecord();
        r->setName(gbk(utf8Name));
        r->setMobile(mobile);
        return book.AddContact(std::move(r));
    }
    std::vector<unsigned> shownIds() const {
        std::vector<unsigned> ids;
        for (auto& s : box.shown) ids.push_back(s.stringId);
        return ids;
    }
    // wParams of the UM_REFRESHVIEWS posted, in order.
    std::vector<int> refreshes() const {
        std::vector<int> out;
        for (auto& m : posted)
            if (m.msg == msgdesk::UM_REFRESHVIEWS) out.push_back(static_cast<int>(m.wParam));
        return out;
    }
};

inline std::vector<std::string> names(const msgdesk::PhonebookRows& rows) {
    std::vector<std::string> out;
    for (auto& r : rows.rows()) out.push_back(platform::codepage::gbkToUtf8(r.name));
    return out;
}

}  // namespace contacts_test
