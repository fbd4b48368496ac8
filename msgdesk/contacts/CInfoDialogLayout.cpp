// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/CInfoDialogLayout.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "widgets/CDialogIcons.h"

namespace msgdesk {

void BuildInfoDialog(QDialog* dlg, std::initializer_list<InfoLine> lines) {
    dlg->setWindowIcon(DialogIcon(131));
    auto* group = new QGroupBox(QStringLiteral("联系人相关信息"), dlg);
    auto* grid = new QGridLayout(group);
    int row = 0;
    for (const InfoLine& l : lines) {
        QString label = QString::fromUtf8(l.label);
        auto* edit = new QLineEdit(l.value, group);
        edit->setReadOnly(true);
        edit->setAccessibleName(AccessibleText(label));
        // Room for the longest field (15 Chinese characters of an address).
        const QFontMetrics fm = edit->fontMetrics();
        edit->setMinimumWidth(std::max(fm.horizontalAdvance(QString(15, QChar(0x4E2D))),
                                       fm.horizontalAdvance(l.value)) +
                              16);
        grid->addWidget(new QLabel(label, group), row, 0);
        grid->addWidget(edit, row, 1);
        if (!l.hint.isEmpty()) grid->addWidget(new QLabel(l.hint, group), row, 2);
        ++row;
    }
    auto* ok = MakeDialogButton(QStringLiteral("确定(&O)"), 153, dlg);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, dlg, &QDialog::accept);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(ok);
    auto* lay = new QVBoxLayout(dlg);
    lay->addWidget(group);
    lay->addLayout(bottom);
}

}  // namespace msgdesk
