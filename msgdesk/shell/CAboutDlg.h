// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>

namespace msgdesk {

// Dialog 100: the program icon, its name and version, one button.
class CAboutDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace msgdesk
