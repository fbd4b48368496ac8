// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/PhoneNumber.h"

namespace msgdesk {

bool IsValidPhoneNumber(std::string_view text) {
    for (char c : text)
        if (!((c >= '0' && c <= '9') || c == '+' || c == '*' || c == '#')) return false;
    return true;
}

}  // namespace msgdesk
