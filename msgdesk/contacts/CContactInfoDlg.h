// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>

#include "contacts/ContactRecord.h"

namespace msgdesk {

// <name>属性: a contact's seven fields, read-only.
class CContactInfoDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CContactInfoDlg(const ContactRecord& record, QWidget* parent = nullptr);
};

}  // namespace msgdesk
