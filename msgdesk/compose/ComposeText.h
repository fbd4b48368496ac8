// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace msgdesk {

// The message field's limit is counted in GBK bytes, as the message is
// stored, so a Chinese character counts two. These decide what an edit
// may take; the window only converts to and from GBK.

// How many bytes of insertGbk the field takes when it already holds
// keptBytes (its text less the selection the insertion replaces). A typed
// character is taken whole or not at all; a paste is cut at a character
// boundary, never inside a two-byte character.
std::size_t AcceptedInsertLength(std::size_t keptBytes, std::string_view insertGbk, bool typed,
                                 std::size_t limit);

// "N/140": the bytes used beside the limit, shown next to the field.
std::string ComposeCountText(std::size_t bytes, std::size_t limit);

// What the compose dialog would say to one recipient number and a text
// given from elsewhere (a conversation's reply, a script): a number it
// would refuse (empty, longer than its field, or not a phone number), or a
// text longer than its message field takes.
enum class ComposeCheck { Ok, InvalidNumber, TextTooLong };
ComposeCheck CheckComposedMessage(std::string_view numberGbk, std::string_view textGbk);

}  // namespace msgdesk
