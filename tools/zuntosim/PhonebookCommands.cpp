// SPDX-License-Identifier: GPL-3.0-or-later
// The SIM phonebook (3GPP TS 27.007 8.11, 8.12, 8.14).
#include "AtCommandTable.h"
#include "SimText.h"

namespace zuntosim {

namespace {

using K = SimCommand::Kind;
constexpr int kNumberLength = 20;
constexpr int kTextLength = 22;

std::optional<int> toInt(const std::string& s) {
    if (s.empty() || s.size() > 9) return std::nullopt;
    for (char c : s)
        if (c < '0' || c > '9') return std::nullopt;
    return std::stoi(s);
}

std::string entryLine(const ModemState& s, int index, const PhonebookEntry& e) {
    bool intl = !e.number.empty() && e.number[0] == '+';
    return "+CPBR: " + std::to_string(index) + ",\"" + e.number + "\"," + (intl ? "145" : "129") +
           ",\"" + encodeText(e.name, s.charset) + "\"";
}

void read(ModemState& s, const SimCommand& c, SimReply& r) {
    if (c.kind == K::Test) {
        r.lines = {"+CPBR: (1-" + std::to_string(s.phonebookCapacity) + ")," +
                   std::to_string(kNumberLength) + "," + std::to_string(kTextLength)};
        return;
    }
    if (c.kind != K::Set) return cmeError(s, r, 4);
    auto a = splitArgs(c.args);
    auto first = a.empty() ? std::nullopt : toInt(a[0]);
    auto last = a.size() > 1 ? toInt(a[1]) : first;
    if (!first || !last || *first < 1 || *last > s.phonebookCapacity || *last < *first)
        return cmeError(s, r, 21);
    for (auto it = s.phonebook.lower_bound(*first); it != s.phonebook.end() && it->first <= *last;
         ++it)
        r.lines.push_back(entryLine(s, it->first, it->second));
    if (r.lines.empty()) cmeError(s, r, 22);
}

void write(ModemState& s, const SimCommand& c, SimReply& r) {
    if (c.kind == K::Test) {
        r.lines = {"+CPBW: (1-" + std::to_string(s.phonebookCapacity) + ")," +
                   std::to_string(kNumberLength) + ",(129,145)," + std::to_string(kTextLength)};
        return;
    }
    if (c.kind != K::Set) return cmeError(s, r, 4);
    auto a = splitArgs(c.args);
    std::optional<int> index = a.empty() || a[0].empty() ? std::nullopt : toInt(a[0]);
    if (!a.empty() && !a[0].empty() && !index) return cmeError(s, r, 21);
    if (index && (*index < 1 || *index > s.phonebookCapacity)) return cmeError(s, r, 21);
    if (a.size() <= 1) {
        if (!index) return cmeError(s, r, 21);
        s.phonebook.erase(*index);
        return;
    }
    std::string number = a[1];
    for (char ch : number)
        if (!((ch >= '0' && ch <= '9') || ch == '+' || ch == '*' || ch == '#' || ch == 'p' ||
              ch == 'w'))
            return cmeError(s, r, 27);
    if (static_cast<int>(number.size()) > kNumberLength) return cmeError(s, r, 26);
    if (a.size() > 2 && a[2] == "145" && !number.empty() && number[0] != '+')
        number.insert(number.begin(), '+');
    std::u16string name;
    if (a.size() > 3) {
        auto n = decodeText(a[3], s.charset);
        if (!n) return cmeError(s, r, 25);
        name = *n;
    }
    if (static_cast<int>(name.size()) > kTextLength) return cmeError(s, r, 24);
    if (!index) {
        for (int i = 1; i <= s.phonebookCapacity && !index; ++i)
            if (!s.phonebook.count(i)) index = i;
        if (!index) return cmeError(s, r, 20);
    }
    s.phonebook[*index] = {number, name};
}

}  // namespace

void registerPhonebookCommands(AtCommandTable& t) {
    t.add("+CPBS", [](ModemState& s, const SimCommand& c, SimReply& r) {
        if (c.kind == K::Read)
            r.lines = {"+CPBS: \"" + s.phonebookStorage + "\"," +
                       std::to_string(s.phonebook.size()) + "," +
                       std::to_string(s.phonebookCapacity)};
        if (c.kind == K::Test) r.lines = {"+CPBS: (\"SM\")"};
        if (c.kind == K::Set) {
            auto a = splitArgs(c.args);
            if (a.empty() || a[0] != "SM") return cmeError(s, r, 3);
        }
    });
    t.add("+CPBR", read);
    t.add("+CPBW", write);
}

}  // namespace zuntosim
