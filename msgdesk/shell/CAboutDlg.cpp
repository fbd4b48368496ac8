// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/CAboutDlg.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace msgdesk {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("关于KelvoZunto短信中心"));
    auto* icon = new QLabel;
    icon->setPixmap(QIcon(QStringLiteral(":/shell/app128.svg")).pixmap(32, 32));
    auto* text = new QLabel(QString::fromUtf8("KelvoZunto短信中心1.0.3.7 版"));
    text->setObjectName(QStringLiteral("aboutText"));
    auto* ok = new QPushButton(QString::fromUtf8("确定"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addSpacing(12);
    row->addWidget(text, 1);
    row->addWidget(ok, 0, Qt::AlignTop);
    auto* v = new QVBoxLayout(this);
    v->addLayout(row);
    setFixedSize(sizeHint().expandedTo(QSize(320, 90)));
}

}  // namespace msgdesk
