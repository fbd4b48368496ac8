// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstddef>
#include <filesystem>

#include "contacts/ContactBook.h"

namespace msgdesk {

// Where the contact book lives: data/contact.db and backup/contact.db.bak
// below a base directory (the process's current directory in the program,
// a temporary directory in tests).
//
// data/contact.db holds the records back to back in list order, 227 bytes
// each: no header, no count, no trailer.
struct ContactFiles {
    std::filesystem::path base;

    std::filesystem::path file() const { return base / "data" / "contact.db"; }
    std::filesystem::path backup() const { return base / "backup" / "contact.db.bak"; }
    // The save writes here first and renames it over file().
    std::filesystem::path temporary() const { return base / "data" / "contact.db.tmp"; }
};

struct ContactLoadResult {
    bool opened = false;           // false: the file could not be opened or created
    std::size_t records = 0;       // whole records appended to the book
    std::size_t ignoredBytes = 0;  // a trailing piece shorter than a record
    bool readError = false;        // a read failed; the load ended early
};

// Copies data/contact.db over backup/contact.db.bak, creating backup/ when
// missing. The copy is written beside the backup and renamed into place, so
// a failed copy leaves the previous backup whole. False when there is no
// file yet or the copy failed; callers ignore it.
bool BackupContacts(const ContactFiles& files);

// Appends every whole 227-byte record of the file to the book, in file
// order, without notifying the book's listeners. A missing file is created
// empty (and its directory with it); an existing file is never truncated.
// A read error ends the load with the records read so far. A file that
// cannot be opened leaves the book as it is.
ContactLoadResult LoadContacts(ContactBook& book, const std::filesystem::path& file);

// Writes every record in list order to a temporary file in data/, flushes it
// to disk and renames it over data/contact.db; creates data/ when missing.
// On any failure the temporary file is removed and data/contact.db is left
// exactly as it was (never replaced by the backup copy, which would throw
// away every contact saved since the program started). The book in memory
// is never changed. Returns whether the file now holds the book.
bool SaveContacts(const ContactBook& book, const ContactFiles& files);

}  // namespace msgdesk
