// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "contacts/PhonebookRows.h"

namespace msgdesk {

// Which of a manager's buttons the selection allows: 修改 and 属性 with
// exactly one row, 删除 and the transfer button (存入SIM卡 / 导出到电脑)
// with at least one.
struct PhonebookButtons {
    bool change = false;
    bool info = false;
    bool remove = false;
    bool transfer = false;

    static PhonebookButtons forSelection(const PhonebookRows& rows) {
        int n = rows.selectedCount();
        return PhonebookButtons{n == 1, n == 1, n >= 1, n >= 1};
    }
};

}  // namespace msgdesk
