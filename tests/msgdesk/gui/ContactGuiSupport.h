// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QWidget>
#include <cstdlib>

#include "StoreGuiSupport.h"

namespace contactgui {

// Every control that a screen reader or UI automation must find, without
// an accessible name.
inline QStringList unnamedControls(QWidget* w) {
    QStringList out;
    for (QWidget* c : w->findChildren<QWidget*>()) {
        bool control = qobject_cast<QLineEdit*>(c) || qobject_cast<QComboBox*>(c) ||
                       qobject_cast<QAbstractButton*>(c) || qobject_cast<QTreeWidget*>(c);
        if (control && c->accessibleName().isEmpty())
            out << QString::fromLatin1(c->metaObject()->className()) + QLatin1Char(':') +
                       (qobject_cast<QAbstractButton*>(c)
                            ? qobject_cast<QAbstractButton*>(c)->text()
                            : c->objectName());
    }
    return out;
}

// Texts drawn narrower than they need: labels, buttons, check boxes and
// group titles whose width is below their size hint.
inline QStringList clippedTexts(QWidget* w) {
    QStringList out;
    for (QWidget* c : w->findChildren<QWidget*>()) {
        if (!c->isVisible()) continue;
        QString text;
        if (auto* l = qobject_cast<QLabel*>(c)) text = l->text();
        if (auto* b = qobject_cast<QAbstractButton*>(c)) text = b->text();
        if (text.isEmpty()) continue;
        if (c->width() < c->sizeHint().width() || c->height() < c->minimumSizeHint().height())
            out << text;
    }
    for (QLineEdit* e : w->findChildren<QLineEdit*>()) {
        // A field shows its whole text (the frame and margins take about 8).
        if (e->isVisible() && e->fontMetrics().horizontalAdvance(e->text()) + 8 > e->width())
            out << e->text();
    }
    for (QGroupBox* g : w->findChildren<QGroupBox*>()) {
        int need = g->fontMetrics().horizontalAdvance(g->title()) + 16;
        if (g->width() < need) out << g->title();
    }
    return out;
}

// Writes the window to $CONTACTS_SCREENSHOTS/<name>.png when that is set.
inline void keepScreenshot(QWidget* w, const char* name) {
    const char* dir = std::getenv("CONTACTS_SCREENSHOTS");
    if (!dir) return;
    QDir().mkpath(QString::fromLocal8Bit(dir));
    w->grab().save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + QLatin1String(name) +
                   QStringLiteral(".png"));
}

}  // namespace contactgui
