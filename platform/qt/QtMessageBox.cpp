// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtMessageBox.h"

#include <QMessageBox>

namespace platform {

int QtMessageBox::show(const MessageBoxRequest& r) {
    QMessageBox box(r.ownerless ? nullptr : m_parent);
    box.setWindowTitle(QString::fromUtf8(r.caption.c_str()));
    box.setText(QString::fromUtf8(r.text.c_str()));
    switch (r.icon) {
        case MbIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case MbIcon::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case MbIcon::Stop:
            box.setIcon(QMessageBox::Critical);
            break;
        case MbIcon::None:
            break;
    }
    switch (r.buttons) {
        case MbButtons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MbButtons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case MbButtons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case MbButtons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
    }
    switch (box.exec()) {
        case QMessageBox::Ok:
            return IDOK;
        case QMessageBox::Yes:
            return IDYES;
        case QMessageBox::No:
            return IDNO;
        default:
            return IDCANCEL;
    }
}

}  // namespace platform
