// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>
#include <vector>

#include "store/MailboxStore.h"
#include "store/MessageFinder.h"

namespace msgdesk {

// The rows as a CSV file: UTF-8 with a byte-order mark (so spreadsheet
// programs take it as UTF-8), a header, then number, contact, text, date,
// time and the mailbox's name per row.
std::string messagesToCsv(const MailboxStore& store, const std::vector<FoundRow>& rows);

}  // namespace msgdesk
