// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/Codepage.h"

namespace msgdesk {

// The seven text fields of a contact, in record order.
enum class ContactField {
    Mobile,
    Name,
    HomePhone,
    OfficePhone,
    HomeAddress,
    CompanyAddress,
    Email
};

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

    // Any field by its tag, for the edit and property dialogs. A text longer
    // than the field's capacity is cut at a character boundary.
    std::string field(ContactField f) const {
        auto [p, w] = slot(f);
        return platform::codepage::getField(p, w);
    }
    void setField(ContactField f, std::string_view s) {
        auto [p, w] = slot(f);
        platform::codepage::putField(const_cast<char*>(p), w, s);
    }

private:
    struct Slot {
        const char* p;
        std::size_t w;
    };
    Slot slot(ContactField f) const {
        switch (f) {
            case ContactField::Mobile:
                return {Mobile, sizeof Mobile};
            case ContactField::Name:
                return {Name, sizeof Name};
            case ContactField::HomePhone:
                return {HomePhone, sizeof HomePhone};
            case ContactField::OfficePhone:
                return {OfficePhone, sizeof OfficePhone};
            case ContactField::HomeAddress:
                return {HomeAddress, sizeof HomeAddress};
            case ContactField::CompanyAddress:
                return {CompanyAddress, sizeof CompanyAddress};
            case ContactField::Email:
                return {Email, sizeof Email};
        }
        return {Email, sizeof Email};
    }
};
static_assert(sizeof(ContactRecord) == 227, "ContactRecord must be 227 bytes");
static_assert(offsetof(ContactRecord, Name) == 21);
static_assert(offsetof(ContactRecord, HomeAddress) == 84);
static_assert(offsetof(ContactRecord, CompanyAddress) == 145);
static_assert(offsetof(ContactRecord, Email) == 206);

}  // namespace msgdesk
