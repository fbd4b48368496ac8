// SPDX-License-Identifier: LGPL-2.1-or-later
#include "CpbrParser.h"

#include "AtText.h"
#include "platform/Codepage.h"

namespace modlink::at {

std::optional<PhonebookGeometry> parseCpbrTest(const std::vector<std::string>& lines) {
    auto line = findLine(lines, "+CPBR:");
    if (!line) return std::nullopt;
    auto fields = splitFields(afterColon(*line));
    if (fields.empty()) return std::nullopt;
    std::string_view range = fields[0].text;
    if (!range.empty() && range.front() == '(') range.remove_prefix(1);
    if (!range.empty() && range.back() == ')') range.remove_suffix(1);
    auto dash = range.find('-');
    PhonebookGeometry g;
    if (dash == std::string_view::npos) {
        // "(1)" is a one-entry book; "(1,2,3)" lists indexes, rare but legal.
        auto last = range.rfind(',');
        auto a = parseInt(trim(range.substr(0, range.find(','))));
        auto b = parseInt(trim(last == std::string_view::npos ? range : range.substr(last + 1)));
        if (!a || !b) return std::nullopt;
        g.first = *a;
        g.last = *b;
    } else {
        auto a = parseInt(trim(range.substr(0, dash)));
        auto b = parseInt(trim(range.substr(dash + 1)));
        if (!a || !b) return std::nullopt;
        g.first = *a;
        g.last = *b;
    }
    if (g.first < 0 || g.last < g.first || g.last > 100000) return std::nullopt;
    if (fields.size() > 1) g.numberLength = parseInt(fields[1].text).value_or(-1);
    if (fields.size() > 2) g.textLength = parseInt(fields[2].text).value_or(-1);
    return g;
}

std::vector<PhonebookEntry> parseCpbrEntries(const std::vector<std::string>& lines, Charset cs,
                                             int* malformed, std::vector<std::string>* notes) {
    std::vector<PhonebookEntry> out;
    int bad = 0;
    for (const auto& line : lines) {
        if (!startsWithNoCase(line, "+CPBR:")) continue;
        auto f = splitFields(afterColon(line));
        auto index = f.empty() ? std::nullopt : parseInt(f[0].text);
        if (f.size() < 2 || !index || *index < 0) {
            ++bad;
            continue;
        }
        // Some phones put an empty field before the number: "+CPBR: 1,,"139",129,...".
        // (An empty number followed by its type, "+CPBR: 5,,129", is no such field.)
        std::size_t n = 1;
        while (n + 1 < f.size() && !f[n].quoted && f[n].text.empty() && f[n + 1].quoted) ++n;
        int type = f.size() > n + 1 ? parseInt(f[n + 1].text).value_or(-1) : -1;
        auto number = decodeNumberAsGiven(f[n].text, cs, type);
        if (!number) {
            // Not a number we can pass on unchanged: say so rather than alter it.
            ++bad;
            if (notes)
                notes->push_back("entry " + std::to_string(*index) +
                                 " dropped: its number holds bytes that are not text");
            continue;
        }
        if (notes && !number->empty() && !isDialNumber(*number))
            notes->push_back("entry " + std::to_string(*index) +
                             " kept with a number that is not a dial string: " + *number);
        PhonebookEntry e;
        e.index = *index;
        e.number = std::move(*number);
        if (f.size() > n + 2) {
            // An unquoted name is not a string (V.250 5.4.2.2): the phones that
            // send one send it as hex, whatever the character set.
            const auto& t = f[n + 2];
            bool hex = !t.quoted && !t.text.empty() && isHex(t.text) && t.text.size() % 2 == 0;
            e.name = decodeText(t.text, hex ? Charset::Ucs2 : cs);
        }
        out.push_back(std::move(e));
    }
    if (malformed) *malformed = bad;
    return out;
}

std::string cpbwArguments(int index, const std::string& number, const std::string& name,
                          Charset cs) {
    namespace cp = platform::codepage;
    std::string n = number.substr(0, cp::fitLength(number, 20));
    std::string t = name.substr(0, cp::fitLength(name, 22));
    bool intl = !n.empty() && n[0] == '+';
    return std::to_string(index) + ",\"" + n + "\"," + (intl ? "145" : "129") + ",\"" +
           encodeText(t, cs) + "\"";
}

}  // namespace modlink::at
