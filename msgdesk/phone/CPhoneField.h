// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QLabel>
#include <QRect>

namespace msgdesk {

// A field of the phone's display (status, device, clock, the dialled
// number): a screen reader reads what it shows as its value.
class CPhoneField final : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    // A field at `at` of the display, named for screen readers.
    static CPhoneField* make(QWidget* parent, const char* objectName, const QString& accessible,
                             QRect at, QColor colour, Qt::Alignment align);
    // Sets the value a screen reader reads; with announce, a change is told
    // as the standard widgets tell theirs. True when the value changed.
    bool setShown(const QString& text, bool announce);
    QString shown() const;
    // Makes screen readers ask the fields for their value; once a process.
    static void installAccessibility();
};

}  // namespace msgdesk
