// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace msgdesk {

// The message field's limit is counted in what the text costs as a message
// (platform::codepage::messageCost): a Chinese character two, an emoji
// four, as UCS-2 carries them. Its stored form must also fit the record's
// Text, which matters only for characters GBK lacks (four stored bytes for
// two of cost). These decide what an edit may take; the window only
// converts to and from the stored form.

// The stored bytes a composed text may take: the record's Text field.
std::size_t ComposeTextRoom();

// How many bytes of insertGbk the field takes when it already holds text
// costing keptCost and keptBytes long (its text less the selection the
// insertion replaces). A typed character is taken whole or not at all; a
// paste is cut at a character boundary, never inside a character.
std::size_t AcceptedInsertLength(std::size_t keptCost, std::string_view insertGbk, bool typed,
                                 std::size_t limit, std::size_t keptBytes = 0);

// "N/140": the cost so far beside the limit, shown next to the field.
std::string ComposeCountText(std::size_t bytes, std::size_t limit);

// What the compose dialog would say to one recipient number and a text
// given from elsewhere (a conversation's reply, a script): a number it
// would refuse (empty, longer than its field, or not a phone number), or a
// text longer than its message field takes.
enum class ComposeCheck { Ok, InvalidNumber, TextTooLong };
ComposeCheck CheckComposedMessage(std::string_view numberGbk, std::string_view textGbk);

}  // namespace msgdesk
