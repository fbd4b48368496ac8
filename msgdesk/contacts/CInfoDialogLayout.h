// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>
#include <QString>
#include <initializer_list>

namespace msgdesk {

struct InfoLine {
    const char* label;
    QString value;
    QString hint;
};

// The property dialogs' common body: the heading "联系人相关信息", one
// read-only field per line (with its hint on the right), and 确定(&O).
void BuildInfoDialog(QDialog* dlg, std::initializer_list<InfoLine> lines);

}  // namespace msgdesk
