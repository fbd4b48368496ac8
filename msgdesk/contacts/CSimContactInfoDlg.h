// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>

#include "types/SimPhoneEntry.h"

namespace msgdesk {

// <name>属性: a SIM entry's device, position, name and number, read-only.
class CSimContactInfoDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CSimContactInfoDlg(const SimPhoneEntry& entry, QWidget* parent = nullptr);
};

}  // namespace msgdesk
