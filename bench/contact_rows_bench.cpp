// SPDX-License-Identifier: GPL-3.0-or-later
// Rebuilding the contact pane's rows (sorted insertion) and a find over
// them, for books of growing size. Prints milliseconds per operation.
#include <chrono>
#include <cstdio>
#include <string>

#include "contacts/ContactPane.h"
#include "contacts/PhonebookFind.h"
#include "platform/Codepage.h"

namespace {

struct NoDevices final : msgdesk::PhonebookDeviceInfo {
    int attachedCount() const override { return 0; }
    int phonebookCapacity(int) const override { return 0; }
    int phonebookUsed(int) const override { return 0; }
    bool phonebookListed(int) const override { return false; }
};
struct NoRequests final : msgdesk::PhonebookRequests {
    void storeEntry(int, msgdesk::SimPhoneEntry*) override {}
    void deleteEntry(msgdesk::SimPhoneEntry*) override {}
    void keepRecord(msgdesk::SimPhoneEntry*) override {}
    void refreshViews(int) override {}
};
struct NoDialogs final : msgdesk::PhonebookDialogs {
    std::optional<int> chooseDevice(int) override { return std::nullopt; }
    bool editContact(msgdesk::ContactRecord&, msgdesk::ContactEditMode) override { return false; }
    bool editSimEntry(msgdesk::SimEntryInput&, bool, int) override { return false; }
    void showContactInfo(const msgdesk::ContactRecord&) override {}
    void showSimEntryInfo(const msgdesk::SimPhoneEntry&) override {}
    void openLocalManager() override {}
    void openSimManager() override {}
};

}  // namespace

int main() {
    const char* family[] = {"张", "王", "李", "赵", "刘", "陈", "杨", "黄"};
    for (int n : {250, 1000, 5000}) {
        msgdesk::ContactBook book;
        msgdesk::SimPhonebook sims;
        NoDevices devices;
        NoRequests requests;
        NoDialogs dialogs;
        platform::ScriptedMessageBox box;
        msgdesk::PhonebookServices s{book, sims, devices, requests, box, dialogs, nullptr};
        for (int i = 0; i < n; ++i) {
            auto r = msgdesk::NewContactRecord();
            r->setName(platform::codepage::utf8ToGbk(family[(i * 7) % 8]) +
                       std::to_string(i * 7919 % n));
            r->setMobile("139" + std::to_string(10000000 + i));
            book.AddContact(std::move(r));
        }
        msgdesk::ContactPane pane(s);
        const int rounds = 20;
        auto t0 = std::chrono::steady_clock::now();
        for (int i = 0; i < rounds; ++i) pane.RefreshRows(0);
        auto t1 = std::chrono::steady_clock::now();
        for (int i = 0; i < rounds; ++i)
            msgdesk::RunFind(pane.rows(), "zz", msgdesk::UnmatchedFindText::Select, box);
        auto t2 = std::chrono::steady_clock::now();
        std::printf("%5d contacts: RefreshRows %.3f ms, unmatched find %.3f ms\n", n,
                    std::chrono::duration<double, std::milli>(t1 - t0).count() / rounds,
                    std::chrono::duration<double, std::milli>(t2 - t1).count() / rounds);
    }
}
