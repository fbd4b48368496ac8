// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>
#include <QLineEdit>
#include <array>

#include "contacts/ContactBook.h"
#include "contacts/ContactValidation.h"
#include "platform/MessageBox.h"

namespace msgdesk {

// 计算机内电话: the seven fields of a contact, in new or change mode. OK
// closes only when the entry passes the contact book's validation; the
// result is read with record() afterwards.
class CContactEditDlg final : public QDialog {
    Q_OBJECT
public:
    CContactEditDlg(const ContactBook& book, platform::MessageBoxPort& box, ContactEditMode mode,
                    const ContactRecord& initial, QWidget* parent = nullptr);
    const ContactRecord& record() const { return m_record; }
    QLineEdit* field(ContactField f) const { return m_edits[static_cast<std::size_t>(f)]; }

    void accept() override;

private:
    const ContactBook& m_book;
    platform::MessageBoxPort& m_box;
    ContactEditMode m_mode;
    ContactRecord m_record;
    std::array<QLineEdit*, 7> m_edits{};
};

}  // namespace msgdesk
