// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/PhoneChars.h"

namespace msgdesk {

bool IsPhoneEditText(std::string_view text) {
    for (char c : text)
        if (!IsPhoneEditChar(c)) return false;
    return true;
}

}  // namespace msgdesk
