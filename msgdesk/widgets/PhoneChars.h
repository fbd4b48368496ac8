// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string_view>

namespace msgdesk {

// What a phone-number edit lets through as the user types: digits and the
// three dial signs. Anything else is dropped keystroke by keystroke.
constexpr bool IsPhoneEditChar(char c) {
    return (c >= '0' && c <= '9') || c == '#' || c == '*' || c == '+';
}

// A pasted or dropped text is taken only when every character could have
// been typed; otherwise it is refused whole, so no window is ever given a
// number the user could not type.
bool IsPhoneEditText(std::string_view text);

}  // namespace msgdesk
