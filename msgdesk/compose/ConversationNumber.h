// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>
#include <string_view>

namespace msgdesk {

// The key by which messages belong to one conversation: blanks and dashes
// dropped, and the country prefix "+86", "0086" or "86" taken off a mobile
// number (eleven digits starting 13..19), so "+86 139-1234-5678",
// "8613912345678" and "13912345678" are one conversation. Any other number
// (a landline, a short code, "086...") keeps its prefix: cutting it could
// join two different numbers. The name lookup of received messages keeps
// its own rule (CountryCodeLookup).
std::string ConversationKey(std::string_view numberGbk);

// The same test on a number already reduced to its key, without building
// a string: true when numberGbk has exactly this key. The conversation
// window scans whole mailboxes with it.
bool HasConversationKey(std::string_view numberGbk, std::string_view key);

}  // namespace msgdesk
