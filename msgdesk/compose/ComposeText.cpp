// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose/ComposeText.h"

#include "compose/ComposeIds.h"
#include "contacts/PhoneNumber.h"
#include "platform/Codepage.h"

namespace msgdesk {

std::size_t AcceptedInsertLength(std::size_t keptBytes, std::string_view insertGbk, bool typed,
                                 std::size_t limit) {
    if (keptBytes >= limit) return 0;
    const std::size_t room = limit - keptBytes;
    if (insertGbk.size() <= room) return insertGbk.size();
    if (typed) return 0;
    return platform::codepage::fitLength(insertGbk, room);
}

std::string ComposeCountText(std::size_t bytes, std::size_t limit) {
    return std::to_string(bytes) + "/" + std::to_string(limit);
}

ComposeCheck CheckComposedMessage(std::string_view numberGbk, std::string_view textGbk) {
    if (numberGbk.empty() || numberGbk.size() > static_cast<std::size_t>(compose::kNumberLimit) ||
        !IsValidPhoneNumber(numberGbk))
        return ComposeCheck::InvalidNumber;
    if (textGbk.size() > static_cast<std::size_t>(compose::kTextLimit))
        return ComposeCheck::TextTooLong;
    return ComposeCheck::Ok;
}

}  // namespace msgdesk
