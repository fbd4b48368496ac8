#pragma once
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/Codepage.h"

namespace msgdesk {

// One local contact: exactly 227 bytes, seven GBK fields, the same layout in
// memory and in data/contact.db. A changed field gets its new text and NUL;
// the rest of the field keeps what it held.
struct ContactRecord {
    char Mobile[21];          // offset 0, the key
    char Name[21];            // offset 21
    char HomePhone[21];       // offset 42
    char OfficePhone[21];     // offset 63
    char HomeAddress[61];     // offset 84
    char CompanyAddress[61];  // offset 145
    char Email[21];           // offset 206

    ContactRecord() { std::memset(this, 0, sizeof *this); }

    std::string mobile() const { return platform::codepage::getField(Mobile, sizeof Mobile); }
    std::string name() const { return platform::codepage::getField(Name, sizeof Name); }
    void setMobile(std::string_view s) { platform::codepage::putField(Mobile, sizeof Mobile, s); }
    void setName(std::string_view s) { platform::codepage::putField(Name, sizeof Name, s); }
};
static_assert(sizeof(ContactRecord) == 227, "ContactRecord must be 227 bytes");
static_assert(offsetof(ContactRecord, Email) == 206);

}  // namespace msgdesk
