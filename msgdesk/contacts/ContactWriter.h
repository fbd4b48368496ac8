// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

#include "contacts/ContactBook.h"

namespace msgdesk {

// The contact book as a vCard 3.0 file (UTF-8, lines folded at 75 octets).
std::string contactsToVcard(const ContactBook& book);
// The contact book as CSV: UTF-8 with a byte-order mark, a header, the
// seven fields in record order. parseContactCsv reads it back.
std::string contactsToCsv(const ContactBook& book);
// The header of that CSV (UTF-8), in record order.
const std::vector<std::string>& contactCsvHeader();

}  // namespace msgdesk
