// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <functional>

#include "contacts/ContactBook.h"
#include "contacts/PhonebookDeviceInfo.h"
#include "contacts/PhonebookDialogs.h"
#include "contacts/PhonebookRequests.h"
#include "device/SimPhonebook.h"
#include "platform/MessageBox.h"
#include "platform/MessageLoop.h"

namespace msgdesk {

// What the contact pane and the phonebook managers work on, handed in by
// the main frame: the book, the SIM lists, the device table's counts, the
// requests to the main frame, the message boxes, the dialogs and a way to
// post messages to the main frame.
struct PhonebookServices {
    ContactBook& book;
    SimPhonebook& sims;
    const PhonebookDeviceInfo& devices;
    PhonebookRequests& requests;
    platform::MessageBoxPort& box;
    PhonebookDialogs& dialogs;
    std::function<void(platform::Message)> postToFrame;

    void post(unsigned msg, platform::WPARAM w = 0, platform::LPARAM l = 0) const {
        if (postToFrame) postToFrame(platform::Message{msg, w, l, nullptr});
    }
};

}  // namespace msgdesk
