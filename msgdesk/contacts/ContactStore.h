// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "contacts/ContactBook.h"
#include "contacts/ContactFiles.h"
#include "platform/MessageLoop.h"

namespace msgdesk {

// When the contact book is read and written: the backup and load at start,
// the save every 30 minutes (timer 108), a save at most two seconds after
// the book changes, and the final save at shutdown. The contact pane owns
// one and calls start() from its initial update and shutdown() when it is
// destroyed.
class ContactStore final : public platform::MessageTarget {
public:
    static constexpr unsigned kPeriodicSaveTimer = 108;
    static constexpr unsigned kPeriodicSaveMs = 1'800'000;
    // Timers are keyed by (target, id); this id is private to this target.
    static constexpr unsigned kChangeSaveTimer = 109;
    static constexpr unsigned kChangeSaveDelayMs = 2000;

    ContactStore(ContactBook& book, ContactFiles files, platform::MessageLoop& loop);
    ~ContactStore() override;
    ContactStore(const ContactStore&) = delete;
    ContactStore& operator=(const ContactStore&) = delete;

    // BackupContacts, LoadContacts of data/contact.db, then the 30-minute
    // timer and the watch for changes. A file that exists but could not be
    // read whole is not replaced by the book's first save: that save first
    // renames it to contact.db.unread (or .unread.1, ...) beside it, and
    // does not save if it cannot.
    ContactLoadResult start();
    // Stops both timers and the watch, then saves once. Returns the save's
    // result. The caller frees the book afterwards.
    bool shutdown();
    // Saves now; a pending change save is then not needed.
    bool saveNow();

    // True while a change waits for its save (also after a failed save,
    // until a later one succeeds).
    bool unsaved() const { return m_unsaved; }
    // True while a file that start() could not read whole still lies where
    // the next save would replace it.
    bool keepingUnreadFile() const { return m_keepAside; }
    const ContactFiles& files() const { return m_files; }

    std::intptr_t onMessage(const platform::Message& m) override;
    void onTimer(unsigned id) override;

private:
    void onBookChanged();
    bool keepUnreadFileAside();

    ContactBook& m_book;
    ContactFiles m_files;
    platform::MessageLoop& m_loop;
    int m_token = 0;
    bool m_running = false;
    bool m_unsaved = false;
    bool m_keepAside = false;
};

}  // namespace msgdesk
