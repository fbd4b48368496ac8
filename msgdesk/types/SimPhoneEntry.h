// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/Codepage.h"

namespace msgdesk {

// One phonebook position of one SIM card. Held on the heap and owned by its
// device's list in SimPhonebook; messages and pending commands refer to it by
// identity (its address), never by a copy.
struct SimPhoneEntry {
    int32_t device;
    int32_t index;
    char number[21];
    char name[23];

    SimPhoneEntry() { std::memset(this, 0, sizeof *this); }

    std::string numberText() const { return platform::codepage::getField(number, sizeof number); }
    std::string nameText() const { return platform::codepage::getField(name, sizeof name); }
    void setNumber(std::string_view s) { platform::codepage::putField(number, sizeof number, s); }
    void setName(std::string_view s) { platform::codepage::putField(name, sizeof name, s); }
};

}  // namespace msgdesk
