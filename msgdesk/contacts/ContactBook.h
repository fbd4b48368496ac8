// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <functional>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "contacts/ContactRecord.h"

namespace msgdesk {

// A zero-filled record, ready for its fields to be set before AddContact.
std::unique_ptr<ContactRecord> NewContactRecord();

// The local contact book: records in file order, owned here. Views keep
// no copies; they hold record addresses or find a record again by number.
//
// Thread use: the window thread only. The device callback posts what it
// parses to the window thread, so the name lookups for received messages
// also run there and need no lock.
//
// Change notification: AddContact, RemoveContact and clear() notify the
// listeners themselves. A window that edits fields of a record in place
// (the change dialogs copy the seven fields back) calls notifyChanged()
// afterwards, so the book is saved soon after.
class ContactBook final {
public:
    using List = std::vector<std::unique_ptr<ContactRecord>>;
    using Listener = std::function<void()>;

    ContactBook() = default;
    ContactBook(const ContactBook&) = delete;
    ContactBook& operator=(const ContactBook&) = delete;

    const List& records() const { return m_records; }
    std::size_t size() const { return m_records.size(); }
    bool empty() const { return m_records.empty(); }

    // Appends at the end and takes ownership; returns the stored record
    // (nullptr for a null argument).
    ContactRecord* AddContact(std::unique_ptr<ContactRecord> record);
    // Unlinks and frees exactly this record; false when it is not in the book.
    bool RemoveContact(const ContactRecord* record);
    // First record in list order whose Mobile equals number byte for byte.
    ContactRecord* FindContactByNumber(std::string_view number) const;
    bool Contains(const ContactRecord* record) const;
    // Frees every record (the contact pane does this at shutdown, after the
    // final save).
    void clear();

    // Appends without notifying; used by the loader, whose records are
    // already on disk.
    ContactRecord* appendLoaded(std::unique_ptr<ContactRecord> record);

    // Tells every listener that the book's contents changed.
    void notifyChanged();
    // Registers a listener; the returned token unsubscribes it.
    int subscribe(Listener listener);
    void unsubscribe(int token);

private:
    List m_records;
    std::vector<std::pair<int, Listener>> m_listeners;
    int m_nextToken = 1;
};

}  // namespace msgdesk
