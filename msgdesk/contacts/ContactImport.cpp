// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/ContactImport.h"

#include <set>

#include "contacts/ContactFileText.h"
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

bool isPhoneField(ContactField f) {
    return f == ContactField::Mobile || f == ContactField::HomePhone ||
           f == ContactField::OfficePhone;
}

}  // namespace

ParsedContacts parseContactCsv(std::string_view bytes) {
    ParsedContacts out;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    if (looksBinary(bytes)) {
        out.error = ContactFileError::Binary;
        return out;
    }
    const bool utf8 = isValidUtf8(bytes);
    if (!utf8 && isUtf8CutAtEnd(bytes)) {
        out.error = ContactFileError::Truncated;
        out.detail = 33129;
        return out;
    }
    if (!utf8 && !isValidGbk(bytes)) {
        out.error = ContactFileError::Encoding;
        return out;
    }
    std::string text = utf8 ? std::string(bytes) : platform::codepage::gbkToUtf8(bytes);
    std::vector<std::vector<std::string>> rows;
    if (parseCsv(text, rows) != CsvStatus::Ok) {
        out.error = ContactFileError::Truncated;
        out.detail = 33128;
        return out;
    }
    // Columns by their header, so a spreadsheet that moved them still reads.
    const auto& header = contactCsvHeader();
    if (rows.empty()) {
        out.error = ContactFileError::Empty;
        return out;
    }
    std::vector<int> column(std::size(kFields), -1);
    for (size_t c = 0; c < rows[0].size(); ++c)
        for (size_t f = 0; f < header.size(); ++f)
            if (rows[0][c] == header[f]) column[f] = static_cast<int>(c);
    if (column[0] < 0 || column[1] < 0) {
        out.error = ContactFileError::NotContacts;
        return out;
    }
    // A last row cut short, without its line end, is a cut file.
    const bool ended = !text.empty() && (text.back() == '\n' || text.back() == '\r');
    if (!ended && rows.size() > 1 && rows.back().size() < rows[0].size()) {
        out.error = ContactFileError::Truncated;
        out.detail = 33129;
        return out;
    }
    for (size_t i = 1; i < rows.size(); ++i) {
        const auto& row = rows[i];
        if (row.size() == 1 && row[0].empty()) continue;  // a blank line
        ContactRecord r;
        for (size_t f = 0; f < std::size(kFields); ++f) {
            const int c = column[f];
            std::string v = c >= 0 && static_cast<size_t>(c) < row.size()
                                ? row[static_cast<size_t>(c)]
                                : std::string();
            r.setField(kFields[f], isPhoneField(kFields[f]) ? cleanPhoneNumber(v)
                                                            : platform::codepage::utf8ToGbk(v));
        }
        if (r.mobile().empty())
            ++out.noNumber;
        else if (r.name().empty())
            ++out.noName;
        else
            out.contacts.push_back(r);
    }
    if (out.contacts.empty() && out.noNumber == 0 && out.noName == 0)
        out.error = ContactFileError::Empty;
    return out;
}

ParsedContacts parseContactFile(std::string_view bytes) {
    std::string_view head = bytes.substr(0, 512);
    size_t i = head.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    while (i < head.size() && (head[i] == ' ' || head[i] == '\r' || head[i] == '\n')) ++i;
    std::string start(head.substr(i, 11));
    for (char& c : start) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (start == "BEGIN:VCARD") return parseVcard(bytes);
    return parseContactCsv(bytes);
}

ImportCounts addImportedContacts(ContactBook& book, const ParsedContacts& parsed) {
    ImportCounts c;
    c.noNumber = parsed.noNumber;
    c.noName = parsed.noName;
    if (parsed.error != ContactFileError::None) return c;
    std::set<std::string> seen;
    for (const ContactRecord& r : parsed.contacts) {
        const std::string mobile = r.mobile();
        if (!seen.insert(mobile).second) {
            ++c.inFile;
        } else if (book.FindContactByNumber(mobile)) {
            ++c.inBook;
        } else {
            auto rec = NewContactRecord();
            *rec = r;
            book.appendLoaded(std::move(rec));
            ++c.added;
        }
    }
    if (c.added) book.notifyChanged();
    return c;
}

std::string importSummary(const ImportCounts& c) {
    std::string s = FormatStr(
        33113, {int64_t{c.added}, int64_t{c.inBook + c.inFile}, int64_t{c.noNumber + c.noName}});
    if (c.inBook) s += "\n" + FormatStr(33114, {int64_t{c.inBook}});
    if (c.inFile) s += "\n" + FormatStr(33115, {int64_t{c.inFile}});
    if (c.noNumber) s += "\n" + FormatStr(33116, {int64_t{c.noNumber}});
    if (c.noName) s += "\n" + FormatStr(33118, {int64_t{c.noName}});
    return s;
}

std::string importRefusal(const std::string& fileName, const ParsedContacts& parsed) {
    std::string why;
    switch (parsed.error) {
        case ContactFileError::Binary:
            why = LoadStr(33125);
            break;
        case ContactFileError::Truncated:
            why = FormatStr(33121, {std::string_view(LoadStr(parsed.detail))});
            break;
        case ContactFileError::Encoding:
            why = LoadStr(33122);
            break;
        case ContactFileError::Empty:
            why = LoadStr(33123);
            break;
        default:
            why = LoadStr(33120);
            break;
    }
    return FormatStr(33117, {fileName, why});
}

}  // namespace msgdesk
