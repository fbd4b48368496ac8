// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose/CKeepOnComputerDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "compose/CComposeIcons.h"
#include "compose/ComposeIds.h"
#include "res/StringTable.h"

namespace msgdesk {

using namespace compose;

CKeepOnComputerDlg::CKeepOnComputerDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(LoadStr(IDS_APP_TITLE)));
    setWindowIcon(ComposeIcon(128));
    auto* icon = new QLabel;
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
    auto* text = new QLabel(QString::fromUtf8("是否保留在计算机中？    "));
    text->setObjectName(QStringLiteral("question"));
    struct B {
        int id;
        const char* text;
    };
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (B b :
         {B{IDC_KEEP_YES, "是(&Y)"}, B{IDC_KEEP_NO, "否(&N)"}, B{IDC_KEEP_CANCEL, "取消(&C)"}}) {
        auto* p = new QPushButton(QString::fromUtf8(b.text));
        p->setObjectName(QString::number(b.id));
        p->setAccessibleName(p->text().remove(QLatin1Char('&')));
        p->setDefault(b.id == IDC_KEEP_YES);
        p->setAutoDefault(b.id == IDC_KEEP_YES);
        const int id = b.id;
        connect(p, &QPushButton::clicked, this, [this, id] { done(id); });
        buttons->addWidget(p);
    }
    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addWidget(text, 1);
    auto* v = new QVBoxLayout(this);
    v->addLayout(row);
    v->addLayout(buttons);
}

void CKeepOnComputerDlg::reject() {
    done(IDC_KEEP_CANCEL);
}

}  // namespace msgdesk
