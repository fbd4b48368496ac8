// SPDX-License-Identifier: GPL-3.0-or-later
#include "CIpAddressCtrl.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QRegularExpressionValidator>

namespace wanmate {

CIpAddressCtrl::CIpAddressCtrl(const QString& accessibleName, QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setAccessibleName(accessibleName);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 1, 2, 1);
    row->setSpacing(0);
    auto* digits = new QRegularExpressionValidator(QRegularExpression("[0-9]{0,3}"), this);
    for (int i = 0; i < 4; ++i) {
        auto* f = new QLineEdit(this);
        f->setFrame(false);
        f->setMaxLength(3);
        f->setValidator(digits);
        f->setAlignment(Qt::AlignCenter);
        f->setFixedWidth(fontMetrics().horizontalAdvance("0000"));
        f->setAccessibleName(accessibleName + QString::number(i + 1));
        f->installEventFilter(this);
        connect(f, &QLineEdit::textEdited, this, [this, i] { clampField(i); });
        m_fields[static_cast<size_t>(i)] = f;
        row->addWidget(f);
        if (i < 3) row->addWidget(new QLabel(".", this));
    }
    row->addStretch();
    setFocusProxy(m_fields[0]);
    setAddress(0);
}

uint32_t CIpAddressCtrl::address() const {
    uint32_t a = 0;
    for (auto* f : m_fields) a = (a << 8) | (f->text().toUInt() & 0xFF);
    return a;
}

void CIpAddressCtrl::setAddress(uint32_t packed) {
    for (int i = 0; i < 4; ++i)
        m_fields[static_cast<size_t>(i)]->setText(QString::number((packed >> (24 - 8 * i)) & 0xFF));
}

// A field never holds more than 255.
void CIpAddressCtrl::clampField(int i) {
    QLineEdit* f = m_fields[static_cast<size_t>(i)];
    if (f->text().toUInt() > 255) f->setText("255");
}

void CIpAddressCtrl::focusField(int i, bool selectAll) {
    QLineEdit* f = m_fields[static_cast<size_t>(i)];
    f->setFocus(Qt::TabFocusReason);
    if (selectAll)
        f->selectAll();
    else
        f->setCursorPosition(f->text().size());
}

bool CIpAddressCtrl::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QFrame::eventFilter(watched, event);
    int i = 0;
    while (i < 4 && m_fields[static_cast<size_t>(i)] != watched) ++i;
    if (i == 4) return QFrame::eventFilter(watched, event);
    QLineEdit* f = m_fields[static_cast<size_t>(i)];
    auto* key = static_cast<QKeyEvent*>(event);
    const QString t = key->text();
    if (t == "." || t == QString::fromUtf8("。")) {
        if (i < 3 && !f->text().isEmpty()) focusField(i + 1, true);
        return true;
    }
    if (t.size() == 1 && t[0].isDigit() && i < 3 && f->text().size() == 3 &&
        !f->hasSelectedText() && f->cursorPosition() == 3) {
        QLineEdit* next = m_fields[static_cast<size_t>(i + 1)];
        focusField(i + 1, false);
        next->setText(t);
        clampField(i + 1);
        return true;
    }
    const bool atStart = f->cursorPosition() == 0 && !f->hasSelectedText();
    const bool atEnd = f->cursorPosition() == f->text().size() && !f->hasSelectedText();
    if ((key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Left) && i > 0 && atStart) {
        focusField(i - 1, false);
        return true;
    }
    if (key->key() == Qt::Key_Right && i < 3 && atEnd) {
        focusField(i + 1, false);
        m_fields[static_cast<size_t>(i + 1)]->setCursorPosition(0);
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

}  // namespace wanmate
