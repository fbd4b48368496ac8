// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "contacts/PhonebookRequests.h"
#include "platform/MessageLoop.h"

namespace msgdesk {

// PhonebookRequests as the program makes them: window messages sent
// (synchronously, on the window thread) to the main frame's target, lParam
// the entry's address.
class MainFramePhonebookRequests final : public PhonebookRequests {
public:
    MainFramePhonebookRequests(platform::MessageLoop& loop, platform::MessageTarget* mainFrame)
        : m_loop(loop), m_frame(mainFrame) {}

    void storeEntry(int flag, SimPhoneEntry* entry) override;
    void deleteEntry(SimPhoneEntry* entry) override;
    void keepRecord(SimPhoneEntry* entry) override;
    void refreshViews(int target) override;

private:
    platform::MessageLoop& m_loop;
    platform::MessageTarget* m_frame;
};

}  // namespace msgdesk
