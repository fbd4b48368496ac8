// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/PhonebookFind.h"

#include "contacts/ContactMessageBox.h"

namespace msgdesk {

FindResult RunFind(PhonebookRows& rows, std::string_view textGbk, UnmatchedFindText rule,
                   platform::MessageBoxPort& box) {
    FindResult r;
    r.action = rule;
    rows.clearSelection();
    if (textGbk.empty()) return r;
    r.row = rows.findPrefix(textGbk);
    if (r.row >= 0) {
        rows.setSelected(r.row, true);
        return r;
    }
    r.unmatched = true;
    ShowStringBox(box, 60004, platform::MbIcon::Information);
    return r;
}

}  // namespace msgdesk
