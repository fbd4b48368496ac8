// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string_view>

#include "contacts/PhonebookRows.h"
#include "platform/MessageBox.h"

namespace msgdesk {

// What the find box does with a text that matched no name: the local
// manager leaves it selected so the next key replaces it; the SIM manager
// and the picker remove it.
enum class UnmatchedFindText { Select, Remove };

struct FindResult {
    int row = -1;            // the row now selected (scroll it into view), -1 none
    bool unmatched = false;  // 60004 was shown
    UnmatchedFindText action = UnmatchedFindText::Select;
};

// The find rule of the phonebook windows, run on every change of the find
// text: every row is deselected; the first row whose name begins with the
// text (ASCII letters without regard to case) is selected; when none does,
// 60004 "无此联系人！" is shown with the information icon. An empty text only
// deselects: clearing the box (or the removal of an unmatched text) is no
// search.
FindResult RunFind(PhonebookRows& rows, std::string_view textGbk, UnmatchedFindText rule,
                   platform::MessageBoxPort& box);

}  // namespace msgdesk
