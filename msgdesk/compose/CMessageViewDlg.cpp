// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose/CMessageViewDlg.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "compose/CComposeIcons.h"
#include "compose/ComposeIds.h"
#include "platform/Codepage.h"
#include "store/StoreCommands.h"
#include "widgets/CGbkText.h"

namespace msgdesk {

using namespace compose;

namespace {

QString u8(const char* s) {
    return QString::fromUtf8(s);
}

QLineEdit* field(int id, const QString& label, const std::string& gbk) {
    auto* e = new QLineEdit(FromGbk(gbk));
    e->setObjectName(QString::number(id));
    e->setAccessibleName(QString(label).remove(QLatin1Char(':')));
    e->setReadOnly(true);
    e->setCursorPosition(0);
    return e;
}

}  // namespace

CMessageViewDlg::CMessageViewDlg(const MessageRecord& rec, QWidget* parent,
                                 const std::string& wholeGbk)
    : QDialog(parent) {
    setWindowTitle(u8("短信"));
    setWindowIcon(ComposeIcon(128));
    auto* form = new QFormLayout;
    form->addRow(u8("联系人:"), field(IDC_VIEW_CONTACT, u8("联系人:"), rec.contact()));
    form->addRow(u8("号码:"), field(IDC_VIEW_NUMBER, u8("号码:"), rec.number()));
    auto* when = new QHBoxLayout;
    when->addWidget(field(IDC_VIEW_DATE, u8("日期:"), rec.date()));
    when->addWidget(new QLabel(u8("时间:")));
    when->addWidget(field(IDC_VIEW_TIME, u8("时间:"), rec.time()));
    form->addRow(u8("日期:"), when);

    m_text = new QPlainTextEdit(FromGbk(wholeGbk.empty() ? rec.text() : wholeGbk));
    m_text->setObjectName(QString::number(IDC_VIEW_TEXT));
    m_text->setAccessibleName(u8("短信内容"));
    m_text->setReadOnly(true);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Pale yellow, and no caret: nothing here can be changed.
    QPalette pal = m_text->palette();
    pal.setColor(QPalette::Base, QColor(255, 255, 225));
    m_text->setPalette(pal);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_text->installEventFilter(this);

    auto* reply = new QPushButton(ComposeIcon(195), u8("回复(&R)"));
    reply->setObjectName(QString::number(IDC_VIEW_REPLY));
    reply->setAccessibleName(u8("回复(R)"));
    reply->setDefault(true);
    auto* forward = new QPushButton(ComposeIcon(196), u8("转发(&F)"));
    forward->setObjectName(QString::number(IDC_VIEW_FORWARD));
    forward->setAccessibleName(u8("转发(F)"));
    forward->setAutoDefault(false);
    auto* cancel = new QPushButton(ComposeIcon(150), u8("取消(&C)"));
    cancel->setObjectName(QString::number(IDC_VIEW_CANCEL));
    cancel->setAccessibleName(u8("取消(C)"));
    cancel->setAutoDefault(false);
    connect(reply, &QPushButton::clicked, this, [this] { done(IDC_VIEW_REPLY); });
    connect(forward, &QPushButton::clicked, this, [this] { done(IDC_VIEW_FORWARD); });
    connect(cancel, &QPushButton::clicked, this, &CMessageViewDlg::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(reply);
    buttons->addWidget(forward);
    buttons->addWidget(cancel);
    auto* v = new QVBoxLayout(this);
    v->addLayout(form);
    v->addWidget(m_text, 1);
    v->addLayout(buttons);
    resize(380, 300);
    reply->setFocus();
}

void CMessageViewDlg::reject() {
    done(IDC_VIEW_CANCEL);
}

bool CMessageViewDlg::eventFilter(QObject* watched, QEvent* e) {
    // Enter in the text answers, as anywhere else in the dialog.
    if (watched == m_text && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            done(IDC_VIEW_REPLY);
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

}  // namespace msgdesk
