// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <array>
#include <string_view>

namespace msgdesk {

// The comparison of two list texts used when a header is clicked. The form
// of the FIRST text decides: a date "yyyy-mm-dd" compares both texts by the
// numbers at 0-3, 5-6, 8-9; a time "hh:mm:ss" by the numbers at 0-1, 3-4,
// 6-7; anything else compares unsigned bytes. Because only the first text's
// form is looked at, mixed columns are not totally ordered; callers must use
// a sort that stays memory-safe with such a comparison (std::stable_sort).
// Returns <0, 0 or >0.
int CompareListTexts(std::string_view a, std::string_view b);

// A text prepared once so that sorting 100 000 rows parses nothing per
// comparison.
struct SortKey {
    enum Form : unsigned char { Plain, Date, Time };
    std::string_view text;
    Form form = Plain;
    std::array<int, 3> dateParts{};  // numbers at the date positions
    std::array<int, 3> timeParts{};  // numbers at the time positions
};

SortKey MakeSortKey(std::string_view text);
int CompareSortKeys(const SortKey& a, const SortKey& b);

}  // namespace msgdesk
