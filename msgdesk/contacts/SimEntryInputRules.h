// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <optional>
#include <string_view>

namespace msgdesk {

// The SIM entry dialog's position field: a whole number of digits (at
// most nine, so it fits an int); nullopt otherwise, and the dialog stays.
std::optional<int> ParseSimIndex(std::string_view text);

// The SIM entry dialog's check on OK: an entry without a number would be
// refused by the card, so 60003 is returned for an empty number; 0 when
// the entry may be stored.
unsigned ValidateSimEntryNumber(std::string_view number);

}  // namespace msgdesk
