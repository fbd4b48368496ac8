// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/ContactStore.h"

#include <string>
#include <system_error>
#include <utility>

namespace msgdesk {

ContactStore::ContactStore(ContactBook& book, ContactFiles files, platform::MessageLoop& loop)
    : m_book(book), m_files(std::move(files)), m_loop(loop) {}

ContactStore::~ContactStore() {
    if (m_token) m_book.unsubscribe(m_token);
    m_loop.forget(this);
}

ContactLoadResult ContactStore::start() {
    BackupContacts(m_files);
    std::error_code ec;
    const bool existed = std::filesystem::exists(m_files.file(), ec);
    ContactLoadResult r = LoadContacts(m_book, m_files.file());
    m_keepAside = existed && (!r.opened || r.readError);
    m_loop.setTimer(this, kPeriodicSaveTimer, kPeriodicSaveMs);
    if (!m_token) m_token = m_book.subscribe([this] { onBookChanged(); });
    m_running = true;
    return r;
}

bool ContactStore::shutdown() {
    m_loop.killTimer(this, kPeriodicSaveTimer);
    m_loop.killTimer(this, kChangeSaveTimer);
    if (m_token) m_book.unsubscribe(m_token);
    m_token = 0;
    m_running = false;
    return saveNow();
}

bool ContactStore::keepUnreadFileAside() {
    const auto file = m_files.file();
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) return true;
    for (int i = 0; i < 100; ++i) {
        auto aside = file;
        aside += i == 0 ? std::string(".unread") : ".unread." + std::to_string(i);
        if (std::filesystem::exists(aside, ec)) continue;
        std::filesystem::rename(file, aside, ec);
        return !ec;
    }
    return false;
}

bool ContactStore::saveNow() {
    m_loop.killTimer(this, kChangeSaveTimer);
    if (m_keepAside) {
        if (!keepUnreadFileAside()) {
            m_unsaved = true;
            return false;
        }
        m_keepAside = false;
    }
    bool ok = SaveContacts(m_book, m_files);
    m_unsaved = !ok;
    return ok;
}

void ContactStore::onBookChanged() {
    m_unsaved = true;
    // Coalesce: the first change arms the timer, later ones ride along, so
    // every change is on disk at most two seconds after it was made.
    if (m_running && !m_loop.timerActive(this, kChangeSaveTimer))
        m_loop.setTimer(this, kChangeSaveTimer, kChangeSaveDelayMs);
}

std::intptr_t ContactStore::onMessage(const platform::Message&) {
    return 0;
}

void ContactStore::onTimer(unsigned id) {
    if (id == kPeriodicSaveTimer || id == kChangeSaveTimer) saveNow();
}

}  // namespace msgdesk
