// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "contacts/ContactBook.h"

namespace msgdesk {

// Why a contact file was refused as a whole.
enum class ContactFileError { None, NotContacts, Binary, Truncated, Encoding, Empty };

// What a contact file held, read in full before anything is added.
struct ParsedContacts {
    ContactFileError error = ContactFileError::None;
    unsigned detail = 0;                  // for Truncated: the string id of what is missing
    std::vector<ContactRecord> contacts;  // names and numbers present
    int noNumber = 0;                     // entries refused: no phone number
    int noName = 0;                       // entries refused: no name
};

// A vCard 2.1 or 3.0 file as phones write it (UTF-8 or GBK, QUOTED-PRINTABLE,
// folded lines, several TEL entries).
ParsedContacts parseVcard(std::string_view bytes);
// A CSV file with the columns of our own contact export.
ParsedContacts parseContactCsv(std::string_view bytes);
// Either, told apart by the content.
ParsedContacts parseContactFile(std::string_view bytes);

struct ImportCounts {
    int added = 0;
    int inBook = 0;    // skipped: the mobile number is already in the book
    int inFile = 0;    // skipped: the mobile number came earlier in the file
    int noNumber = 0;  // refused
    int noName = 0;    // refused
};

// Appends the parsed contacts whose mobile number is new; records already
// in the book are left as they are. The book is told once, at the end.
ImportCounts addImportedContacts(ContactBook& book, const ParsedContacts& parsed);

// The one message shown after an import (UTF-8).
std::string importSummary(const ImportCounts& c);
// The message for a refused file (UTF-8).
std::string importRefusal(const std::string& fileName, const ParsedContacts& parsed);

}  // namespace msgdesk
