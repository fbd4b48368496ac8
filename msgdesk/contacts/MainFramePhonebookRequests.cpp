// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/MainFramePhonebookRequests.h"

#include "device/WindowMessages.h"

namespace msgdesk {

namespace {
platform::LPARAM entryParam(SimPhoneEntry* e) {
    return reinterpret_cast<platform::LPARAM>(e);
}
}  // namespace

void MainFramePhonebookRequests::storeEntry(int flag, SimPhoneEntry* entry) {
    m_loop.send(m_frame, UM_STORESIMENTRY, static_cast<platform::WPARAM>(flag), entryParam(entry));
}

void MainFramePhonebookRequests::deleteEntry(SimPhoneEntry* entry) {
    m_loop.send(m_frame, UM_DELETESIMENTRY, 0, entryParam(entry));
}

void MainFramePhonebookRequests::keepRecord(SimPhoneEntry* entry) {
    m_loop.send(m_frame, UM_KEEPRECORD, 0, entryParam(entry));
}

void MainFramePhonebookRequests::refreshViews(int target) {
    m_loop.send(m_frame, UM_REFRESHVIEWS, static_cast<platform::WPARAM>(target), 0);
}

}  // namespace msgdesk
