// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>

namespace msgdesk {

// The keep-on-computer prompt (template 192), asked before a message is
// removed from a SIM card. exec() returns 1 (yes, keep a copy), 1044 (no)
// or 2 (cancel, also Escape).
class CKeepOnComputerDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CKeepOnComputerDlg(QWidget* parent = nullptr);
    void reject() override;
};

}  // namespace msgdesk
