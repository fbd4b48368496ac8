// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/Codepage.h"

namespace msgdesk {

// What the phone dialog fills in before each UM_PHONECOMMAND.
struct PhoneRequest {
    int32_t device;
    int32_t volume;
    char number[21];
    char digits[2];

    PhoneRequest() {
        std::memset(this, 0, sizeof *this);
        device = 1;
        volume = 20;
    }
    std::string numberText() const { return platform::codepage::getField(number, sizeof number); }
    std::string digitsText() const { return platform::codepage::getField(digits, sizeof digits); }
    void setNumber(std::string_view s) { platform::codepage::putField(number, sizeof number, s); }
    void setDigits(std::string_view s) { platform::codepage::putField(digits, sizeof digits, s); }
};

}  // namespace msgdesk
