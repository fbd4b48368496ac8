// SPDX-License-Identifier: GPL-3.0-or-later
#include "phone/CallHistory.h"

#include "contacts/PhoneNumber.h"

namespace msgdesk {

bool CallHistory::add(std::string_view number) {
    if (!IsValidPhoneNumber(number)) return false;
    for (size_t i = kSize - 1; i > 0; --i) m_entries[i] = std::move(m_entries[i - 1]);
    m_entries[0] = std::string(number.substr(0, kNumberLength));
    if (m_count < kSize) ++m_count;
    return true;
}

}  // namespace msgdesk
