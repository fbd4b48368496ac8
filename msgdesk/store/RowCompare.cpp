// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/RowCompare.h"

#include <cstring>

namespace msgdesk {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool hasDateForm(std::string_view s) {
    if (s.size() != 10 || s[4] != '-' || s[7] != '-') return false;
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (!isDigit(s[static_cast<size_t>(i)])) return false;
    return true;
}

bool hasTimeForm(std::string_view s) {
    if (s.size() != 8 || s[2] != ':' || s[5] != ':') return false;
    for (int i : {0, 1, 3, 4, 6, 7})
        if (!isDigit(s[static_cast<size_t>(i)])) return false;
    return true;
}

// The number a C atoi gives for s.substr(pos, len); the second text of a
// comparison need not have the first one's form.
int partNumber(std::string_view s, size_t pos, size_t len) {
    if (pos >= s.size()) return 0;
    std::string_view p = s.substr(pos, len);
    size_t i = 0;
    while (i < p.size() && (p[i] == ' ' || p[i] == '\t')) ++i;
    bool neg = false;
    if (i < p.size() && (p[i] == '-' || p[i] == '+')) neg = p[i++] == '-';
    int v = 0;
    while (i < p.size() && isDigit(p[i])) v = v * 10 + (p[i++] - '0');
    return neg ? -v : v;
}

int compareParts(const std::array<int, 3>& a, const std::array<int, 3>& b) {
    for (size_t i = 0; i < 3; ++i)
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    return 0;
}

int compareBytes(std::string_view a, std::string_view b) {
    size_t n = std::min(a.size(), b.size());
    int c = n ? std::memcmp(a.data(), b.data(), n) : 0;  // memcmp compares unsigned bytes
    if (c != 0) return c < 0 ? -1 : 1;
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

}  // namespace

SortKey MakeSortKey(std::string_view text) {
    SortKey k;
    k.text = text;
    k.form = hasDateForm(text) ? SortKey::Date : hasTimeForm(text) ? SortKey::Time : SortKey::Plain;
    k.dateParts = {partNumber(text, 0, 4), partNumber(text, 5, 2), partNumber(text, 8, 2)};
    k.timeParts = {partNumber(text, 0, 2), partNumber(text, 3, 2), partNumber(text, 6, 2)};
    return k;
}

int CompareSortKeys(const SortKey& a, const SortKey& b) {
    switch (a.form) {
        case SortKey::Date:
            return compareParts(a.dateParts, b.dateParts);
        case SortKey::Time:
            return compareParts(a.timeParts, b.timeParts);
        case SortKey::Plain:
            break;
    }
    return compareBytes(a.text, b.text);
}

int CompareListTexts(std::string_view a, std::string_view b) {
    return CompareSortKeys(MakeSortKey(a), MakeSortKey(b));
}

}  // namespace msgdesk
