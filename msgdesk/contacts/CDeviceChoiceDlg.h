// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QComboBox>
#include <QDialog>

namespace msgdesk {

// 设备: which attached device to move contacts to. device() after OK is
// the chosen list position + 1.
class CDeviceChoiceDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CDeviceChoiceDlg(int attachedCount, QWidget* parent = nullptr);
    int device() const { return m_list->currentIndex() + 1; }
    QComboBox* deviceList() const { return m_list; }

private:
    QComboBox* m_list;
};

}  // namespace msgdesk
