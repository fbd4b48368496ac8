// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/CSimPinDlg.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "device/SimUnlock.h"

namespace msgdesk {

namespace {
QString u8(const std::string& s) {
    return QString::fromUtf8(s.c_str());
}

QLineEdit* codeField(const char* name, QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setEchoMode(QLineEdit::Password);
    e->setMaxLength(8);
    e->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,8}")), e));
    e->setAccessibleName(QString::fromUtf8(name));
    e->setInputMethodHints(Qt::ImhDigitsOnly | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText);
    return e;
}
}  // namespace

CSimPinDlg::CSimPinDlg(const SimCodePrompt& prompt, QWidget* parent)
    : QDialog(parent), m_puk(prompt.puk) {
    setWindowTitle(QString::fromUtf8("输入PIN码"));
    setMinimumWidth(320);
    auto* layout = new QVBoxLayout(this);
    m_message = new QLabel(u8(prompt.message), this);
    m_message->setWordWrap(true);
    m_message->setAccessibleName(QString::fromUtf8("提示"));
    // A wrong code must not pass unseen.
    if (prompt.wrong) m_message->setStyleSheet(QStringLiteral("color: #c00000;"));
    layout->addWidget(m_message);
    auto* form = new QFormLayout;
    m_code = codeField(m_puk ? "PUK码" : "PIN码", this);
    form->addRow(QString::fromUtf8(m_puk ? "PUK码：" : "PIN码："), m_code);
    if (m_puk) {
        m_newPin = codeField("新PIN码", this);
        form->addRow(QString::fromUtf8("新PIN码："), m_newPin);
    }
    layout->addLayout(form);
    if (!prompt.triesText.empty()) {
        auto* tries = new QLabel(u8(prompt.triesText), this);
        tries->setAccessibleName(QString::fromUtf8("剩余尝试次数"));
        layout->addWidget(tries);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_ok = new QPushButton(QString::fromUtf8("确定"), this);
    m_ok->setAccessibleName(QString::fromUtf8("确定"));
    m_ok->setDefault(true);
    auto* cancel = new QPushButton(QString::fromUtf8("取消"), this);
    cancel->setAccessibleName(QString::fromUtf8("取消"));
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_code, &QLineEdit::textChanged, this, &CSimPinDlg::updateOk);
    if (m_newPin) connect(m_newPin, &QLineEdit::textChanged, this, &CSimPinDlg::updateOk);
    updateOk();
    m_code->setFocus();
}

CSimPinDlg::~CSimPinDlg() {
    wipe();
}

void CSimPinDlg::updateOk() {
    SimCode c = code();
    m_ok->setEnabled(validSimCode(c.pin, m_puk) && (!m_puk || validSimCode(c.newPin, false)));
}

SimCode CSimPinDlg::code() const {
    SimCode c;
    c.pin = m_code->text().toStdString();
    if (m_newPin) c.newPin = m_newPin->text().toStdString();
    return c;
}

void CSimPinDlg::wipe() {
    m_code->clear();
    if (m_newPin) m_newPin->clear();
}

}  // namespace msgdesk
