// SPDX-License-Identifier: GPL-3.0-or-later
// Reads vCard 2.1 and 3.0 files as phones export them.
#include <algorithm>
#include <cctype>
#include <optional>
#include <set>

#include "contacts/ContactFileText.h"
#include "contacts/ContactImport.h"
#include "platform/Codepage.h"

namespace msgdesk {
namespace {

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

bool isAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
}

std::string decodeQuotedPrintable(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '=' && i + 2 < s.size() && hexValue(s[i + 1]) >= 0 && hexValue(s[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(s[i + 1]) * 16 + hexValue(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

struct Property {
    std::string name;             // upper case, group removed
    std::set<std::string> types;  // upper case
    std::string charset;          // upper case, empty when not given
    bool quotedPrintable = false;
    std::string value;  // raw
};

Property parseLine(std::string_view line) {
    Property p;
    size_t colon = line.find(':');
    std::string_view head = line.substr(0, colon);
    p.value = colon == std::string_view::npos ? std::string() : std::string(line.substr(colon + 1));
    size_t semi = head.find(';');
    std::string_view name = head.substr(0, semi);
    if (size_t dot = name.find('.'); dot != std::string_view::npos) name = name.substr(dot + 1);
    p.name = upper(name);
    while (semi != std::string_view::npos) {
        head = head.substr(semi + 1);
        semi = head.find(';');
        std::string param = upper(head.substr(0, semi));
        size_t eq = param.find('=');
        std::string key = eq == std::string::npos ? "TYPE" : param.substr(0, eq);
        std::string val = eq == std::string::npos ? param : param.substr(eq + 1);
        if (key == "ENCODING") {
            p.quotedPrintable = val == "QUOTED-PRINTABLE" || val == "QP";
        } else if (key == "CHARSET") {
            p.charset = val;
        } else if (key == "TYPE") {
            size_t s = 0;
            while (s <= val.size()) {  // 3.0 lists types with commas
                size_t e = val.find(',', s);
                std::string t = val.substr(s, e == std::string::npos ? std::string::npos : e - s);
                t.erase(std::remove(t.begin(), t.end(), '"'), t.end());
                if (!t.empty()) p.types.insert(t);
                if (e == std::string::npos) break;
                s = e + 1;
            }
        } else if (key == "QUOTED-PRINTABLE") {
            p.quotedPrintable = true;
        }
    }
    return p;
}

// Splits a structured value at unescaped ';' and undoes the text escapes.
std::vector<std::string> components(std::string_view v) {
    std::vector<std::string> out(1);
    for (size_t i = 0; i < v.size(); ++i) {
        if (v[i] == '\\' && i + 1 < v.size()) {
            char n = v[++i];
            out.back() += (n == 'n' || n == 'N') ? ' ' : n;
        } else if (v[i] == ';') {
            out.emplace_back();
        } else if (v[i] == '\r' || v[i] == '\n') {
            out.back() += ' ';
        } else {
            out.back() += v[i];
        }
    }
    return out;
}

std::string joinNonEmpty(const std::vector<std::string>& parts, size_t from, const char* sep) {
    std::string out;
    for (size_t i = from; i < parts.size(); ++i) {
        if (parts[i].empty()) continue;
        if (!out.empty()) out += sep;
        out += parts[i];
    }
    return out;
}

struct Card {
    std::string fn, family, given, email, homeAdr, workAdr, otherAdr;
    std::vector<std::pair<std::string, std::set<std::string>>> tels;
};

bool isMobile(const std::set<std::string>& t) {
    return t.count("CELL") || t.count("MOBILE") || t.count("IPHONE");
}

// The seven fields from one card, in GBK, cut to their widths.
ContactRecord toRecord(const Card& c) {
    using platform::codepage::utf8ToGbk;
    ContactRecord r;
    std::string name = c.fn;
    if (name.empty()) {
        bool western = isAscii(c.family) && isAscii(c.given);
        name = western ? joinNonEmpty({c.given, c.family}, 0, " ") : c.family + c.given;
    }
    r.setField(ContactField::Name, utf8ToGbk(name));
    int mobile = -1;
    for (size_t i = 0; i < c.tels.size() && mobile < 0; ++i)
        if (isMobile(c.tels[i].second)) mobile = static_cast<int>(i);
    if (mobile < 0 && !c.tels.empty()) mobile = 0;
    std::string home, office;
    for (size_t i = 0; i < c.tels.size(); ++i) {
        const auto& [num, types] = c.tels[i];
        if (static_cast<int>(i) == mobile) {
            r.setField(ContactField::Mobile, num);
        } else {
            // By type where it says; an untyped number takes the first free one.
            const bool work = types.count("WORK") && !types.count("HOME");
            std::string& first = work ? office : home;
            std::string& second = work ? home : office;
            if (first.empty())
                first = num;
            else if (second.empty())
                second = num;
        }
    }
    r.setField(ContactField::HomePhone, home);
    r.setField(ContactField::OfficePhone, office);
    // An address of no type fills the first free one of the two.
    const bool otherHome = c.homeAdr.empty();
    r.setField(ContactField::HomeAddress, utf8ToGbk(otherHome ? c.otherAdr : c.homeAdr));
    r.setField(ContactField::CompanyAddress,
               utf8ToGbk(!c.workAdr.empty() || otherHome ? c.workAdr : c.otherAdr));
    r.setField(ContactField::Email, utf8ToGbk(c.email));
    return r;
}

// Logical lines: folded lines joined, QUOTED-PRINTABLE soft breaks joined.
// Returns false when the file ends inside a soft break.
bool unfold(std::string_view text, std::vector<std::string>& lines) {
    bool softBreak = false;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t nl = text.find('\n', pos);
        std::string_view line = text.substr(pos, nl == std::string_view::npos ? nl : nl - pos);
        pos = nl == std::string_view::npos ? text.size() : nl + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (softBreak) {
            lines.back().pop_back();  // the '='
            lines.back() += line;
        } else if (!line.empty() && (line[0] == ' ' || line[0] == '\t') && !lines.empty()) {
            lines.back() += line.substr(1);
        } else {
            lines.emplace_back(line);
        }
        const std::string& last = lines.back();
        size_t colon = last.find(':');
        softBreak = !last.empty() && last.back() == '=' && colon != std::string::npos &&
                    upper(last.substr(0, colon)).find("QUOTED-PRINTABLE") != std::string::npos;
    }
    return !softBreak;
}

ParsedContacts readCards(std::string_view bytes) {
    ParsedContacts out;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    if (looksBinary(bytes)) {
        out.error = ContactFileError::Binary;
        return out;
    }
    std::vector<std::string> lines;
    if (!unfold(bytes, lines)) {
        out.error = ContactFileError::Truncated;
        out.detail = 33127;
        return out;
    }
    // Checked after unfolding: some phones fold inside a character.
    auto all = [&](bool (*valid)(std::string_view)) {
        return std::all_of(lines.begin(), lines.end(),
                           [valid](const std::string& l) { return valid(l); });
    };
    const bool fileUtf8 = all(isValidUtf8);
    if (!fileUtf8 && isUtf8CutAtEnd(lines.back())) {
        out.error = ContactFileError::Truncated;
        out.detail = 33126;
        return out;
    }
    if (!fileUtf8 && !all(isValidGbk)) {
        out.error = ContactFileError::Encoding;
        return out;
    }
    std::optional<Card> card;
    bool sawCard = false;
    for (const std::string& line : lines) {
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        Property p = parseLine(line);
        const std::string value = upper(p.value);
        if (p.name == "BEGIN" && value == "VCARD") {
            if (card) {
                out.error = ContactFileError::Truncated;
                out.detail = 33126;
                return out;
            }
            card.emplace();
            sawCard = true;
            continue;
        }
        if (!card) {
            out.error = ContactFileError::NotContacts;
            return out;
        }
        if (p.name == "END" && value == "VCARD") {
            ContactRecord r = toRecord(*card);
            if (r.mobile().empty())
                ++out.noNumber;
            else if (r.name().empty())
                ++out.noName;
            else
                out.contacts.push_back(r);
            card.reset();
            continue;
        }
        std::string v = p.quotedPrintable ? decodeQuotedPrintable(p.value) : p.value;
        // The text's own charset, else the file's; always UTF-8 from here on.
        const bool gbk = p.charset.empty() ? !fileUtf8 : p.charset.rfind("GB", 0) == 0;
        if (gbk ? !isValidGbk(v) : !isValidUtf8(v)) {
            out.error = ContactFileError::Encoding;
            return out;
        }
        if (gbk) v = platform::codepage::gbkToUtf8(v);
        if (p.name == "FN") {
            card->fn = joinNonEmpty(components(v), 0, " ");
        } else if (p.name == "N") {
            auto parts = components(v);
            card->family = parts[0];
            card->given = parts.size() > 1 ? parts[1] : std::string();
        } else if (p.name == "TEL") {
            std::string num = cleanPhoneNumber(v);
            if (!num.empty()) card->tels.emplace_back(num, p.types);
        } else if (p.name == "EMAIL") {
            if (card->email.empty()) card->email = components(v)[0];
        } else if (p.name == "ADR") {
            std::string adr = joinNonEmpty(components(v), 2, " ");
            if (p.types.count("WORK") && card->workAdr.empty())
                card->workAdr = adr;
            else if (p.types.count("HOME") && card->homeAdr.empty())
                card->homeAdr = adr;
            else if (card->otherAdr.empty())
                card->otherAdr = adr;
        }
    }
    if (card) {
        out.error = ContactFileError::Truncated;
        out.detail = 33126;
        out.contacts.clear();
        return out;
    }
    if (!sawCard) out.error = ContactFileError::Empty;
    return out;
}

}  // namespace

ParsedContacts parseVcard(std::string_view bytes) {
    ParsedContacts out = readCards(bytes);
    if (out.error != ContactFileError::None) {
        // A refused file yields nothing, whichever card gave it away.
        out.contacts.clear();
        out.noNumber = out.noName = 0;
    }
    return out;
}

}  // namespace msgdesk
