// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>

#include "contacts/PhonebookDialogs.h"
#include "platform/MessageBox.h"

namespace msgdesk {

// SIM卡内电话: device, name, position and number of a SIM entry. In change
// mode the device and position are fixed. The result is read with
// input() after OK.
class CSimContactEditDlg final : public QDialog {
    Q_OBJECT
public:
    CSimContactEditDlg(int attachedCount, const SimEntryInput& input, bool change,
                       platform::MessageBoxPort& box, QWidget* parent = nullptr);
    const SimEntryInput& input() const { return m_input; }
    QComboBox* deviceList() const { return m_device; }
    QLineEdit* nameEdit() const { return m_name; }
    QLineEdit* indexEdit() const { return m_index; }
    QLineEdit* numberEdit() const { return m_number; }

    void accept() override;

private:
    platform::MessageBoxPort& m_box;
    SimEntryInput m_input;
    QComboBox* m_device;
    QLineEdit* m_name;
    QLineEdit* m_index;
    QLineEdit* m_number;
};

}  // namespace msgdesk
