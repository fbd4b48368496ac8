// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/ContactWriter.h"

#include "platform/Codepage.h"
#include "res/StringTable.h"
#include "store/CsvText.h"

namespace msgdesk {
namespace {

constexpr ContactField kFields[] = {ContactField::Mobile,      ContactField::Name,
                                    ContactField::HomePhone,   ContactField::OfficePhone,
                                    ContactField::HomeAddress, ContactField::CompanyAddress,
                                    ContactField::Email};

std::string utf8(const ContactRecord& r, ContactField f) {
    return platform::codepage::gbkToUtf8(r.field(f));
}

std::string escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\\' || c == ',' || c == ';') out += '\\';
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        if (c == '\r') continue;
        out += c;
    }
    return out;
}

// Folds a content line at 75 octets, never inside a UTF-8 character.
void addLine(std::string& out, const std::string& line) {
    size_t start = 0;
    size_t limit = 75;
    while (line.size() - start > limit) {
        size_t cut = start + limit;
        while (cut > start && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
        out.append(line, start, cut - start);
        out += "\r\n ";
        start = cut;
        limit = 74;  // the leading blank counts
    }
    out.append(line, start, std::string::npos);
    out += "\r\n";
}

}  // namespace

const std::vector<std::string>& contactCsvHeader() {
    // The seven fields' captions, in record order.
    static const std::vector<std::string> h = [] {
        std::vector<std::string> v;
        for (unsigned id = 33141; id <= 33147; ++id) v.emplace_back(LoadStr(id));
        return v;
    }();
    return h;
}

std::string contactsToVcard(const ContactBook& book) {
    std::string out;
    for (const auto& p : book.records()) {
        const ContactRecord& r = *p;
        const std::string name = escape(utf8(r, ContactField::Name));
        addLine(out, "BEGIN:VCARD");
        addLine(out, "VERSION:3.0");
        addLine(out, "FN:" + name);
        addLine(out, "N:" + name + ";;;;");
        addLine(out, "TEL;TYPE=CELL:" + utf8(r, ContactField::Mobile));
        if (!r.field(ContactField::HomePhone).empty())
            addLine(out, "TEL;TYPE=HOME,VOICE:" + utf8(r, ContactField::HomePhone));
        if (!r.field(ContactField::OfficePhone).empty())
            addLine(out, "TEL;TYPE=WORK,VOICE:" + utf8(r, ContactField::OfficePhone));
        if (!r.field(ContactField::HomeAddress).empty())
            addLine(out, "ADR;TYPE=HOME:;;" + escape(utf8(r, ContactField::HomeAddress)) + ";;;;");
        if (!r.field(ContactField::CompanyAddress).empty())
            addLine(out,
                    "ADR;TYPE=WORK:;;" + escape(utf8(r, ContactField::CompanyAddress)) + ";;;;");
        if (!r.field(ContactField::Email).empty())
            addLine(out, "EMAIL;TYPE=INTERNET:" + escape(utf8(r, ContactField::Email)));
        addLine(out, "END:VCARD");
    }
    return out;
}

std::string contactsToCsv(const ContactBook& book) {
    std::string out = "\xEF\xBB\xBF";
    appendCsvRow(out, contactCsvHeader());
    for (const auto& p : book.records()) {
        std::vector<std::string> row;
        for (ContactField f : kFields) row.push_back(utf8(*p, f));
        appendCsvRow(out, row);
    }
    return out;
}

}  // namespace msgdesk
