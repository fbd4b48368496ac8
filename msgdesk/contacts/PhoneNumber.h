// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string_view>

namespace msgdesk {

// The one rule for anything typed as a phone number (recipients, contacts,
// SMS centre numbers, dialled numbers): every byte is a digit or one of
// '+', '*', '#'. The empty text is valid; blanks, hyphens, brackets and
// letters are not.
bool IsValidPhoneNumber(std::string_view text);

}  // namespace msgdesk
