// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/CFileDialogs.h"

#include <QDir>
#include <QFileDialog>

namespace msgdesk {

std::string CFileDialogs::saveFileName(const std::string& title, const std::string& filter,
                                       const std::string& suggestedName) {
    // Replacing is asked by the caller, through the program's message box.
    QString f = QFileDialog::getSaveFileName(
        m_parent, QString::fromUtf8(title.c_str()),
        QDir::home().filePath(QString::fromUtf8(suggestedName.c_str())),
        QString::fromUtf8(filter.c_str()), nullptr, QFileDialog::DontConfirmOverwrite);
    return f.toUtf8().toStdString();
}

std::string CFileDialogs::openFileName(const std::string& title, const std::string& filter) {
    QString f = QFileDialog::getOpenFileName(m_parent, QString::fromUtf8(title.c_str()),
                                             QDir::homePath(), QString::fromUtf8(filter.c_str()));
    return f.toUtf8().toStdString();
}

}  // namespace msgdesk
