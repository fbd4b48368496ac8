// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/Codepage.h"

namespace msgdesk {

// One short message: exactly 236 bytes, the same layout in memory and in
// the mailbox files. Texts are GBK, NUL-terminated inside their fields.
struct MessageRecord {
    int32_t Icon;      // 0: row image in memory; device 1..16 in the SIM cache; 0 on disk
    char Number[21];   // offset 4
    char Contact[21];  // offset 25
    char Text[161];    // offset 46
    char Date[11];     // offset 207, "%04ld-%02ld-%02ld"
    char Time[11];     // offset 218, "%02ld:%02ld:%02ld"
    char Status[7];    // offset 229

    MessageRecord() { std::memset(this, 0, sizeof *this); }

    std::string number() const { return platform::codepage::getField(Number, sizeof Number); }
    std::string contact() const { return platform::codepage::getField(Contact, sizeof Contact); }
    std::string text() const { return platform::codepage::getField(Text, sizeof Text); }
    std::string date() const { return platform::codepage::getField(Date, sizeof Date); }
    std::string time() const { return platform::codepage::getField(Time, sizeof Time); }
    std::string status() const { return platform::codepage::getField(Status, sizeof Status); }

    void setNumber(std::string_view s) { platform::codepage::putField(Number, sizeof Number, s); }
    void setContact(std::string_view s) {
        platform::codepage::putField(Contact, sizeof Contact, s);
    }
    void setText(std::string_view s) { platform::codepage::putField(Text, sizeof Text, s); }
    void setDate(std::string_view s) { platform::codepage::putField(Date, sizeof Date, s); }
    void setTime(std::string_view s) { platform::codepage::putField(Time, sizeof Time, s); }
    void setStatus(std::string_view s) { platform::codepage::putField(Status, sizeof Status, s); }
};
static_assert(sizeof(MessageRecord) == 236, "MessageRecord must be 236 bytes");
static_assert(offsetof(MessageRecord, Number) == 4);
static_assert(offsetof(MessageRecord, Contact) == 25);
static_assert(offsetof(MessageRecord, Text) == 46);
static_assert(offsetof(MessageRecord, Date) == 207);
static_assert(offsetof(MessageRecord, Time) == 218);
static_assert(offsetof(MessageRecord, Status) == 229);

enum MailboxId : int { InBox = 0, OutBox = 1, SentBox = 2, PublicBox = 3, DeleteBox = 4 };
constexpr int kMailboxCount = 5;

}  // namespace msgdesk
