// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose/ComposeText.h"

#include "compose/ComposeIds.h"
#include "contacts/PhoneNumber.h"
#include "platform/Codepage.h"
#include "store/MessageRecord.h"

namespace msgdesk {

std::size_t ComposeTextRoom() {
    return sizeof MessageRecord::Text - 1;
}

std::size_t AcceptedInsertLength(std::size_t keptCost, std::string_view insertGbk, bool typed,
                                 std::size_t limit, std::size_t keptBytes) {
    if (keptCost >= limit || keptBytes >= ComposeTextRoom()) return 0;
    const std::size_t n =
        platform::codepage::fitCost(insertGbk, limit - keptCost, ComposeTextRoom() - keptBytes);
    if (n == insertGbk.size()) return n;
    return typed ? 0 : n;
}

std::string ComposeCountText(std::size_t bytes, std::size_t limit) {
    return std::to_string(bytes) + "/" + std::to_string(limit);
}

ComposeCheck CheckComposedMessage(std::string_view numberGbk, std::string_view textGbk) {
    if (numberGbk.empty() || numberGbk.size() > static_cast<std::size_t>(compose::kNumberLimit) ||
        !IsValidPhoneNumber(numberGbk))
        return ComposeCheck::InvalidNumber;
    // What the message costs (an emoji 4, as in UCS-2) and what its row can
    // hold: the two limits the compose dialog's field keeps.
    if (platform::codepage::messageCost(textGbk) > static_cast<std::size_t>(compose::kTextLimit) ||
        textGbk.size() > ComposeTextRoom())
        return ComposeCheck::TextTooLong;
    return ComposeCheck::Ok;
}

}  // namespace msgdesk
