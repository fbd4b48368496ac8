// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>

class QTreeWidget;

namespace msgdesk {

class SimInfoModel;

// The SIM information view (template 193, "查看"): per device a root with
// the phonebook and message store lines, the full card's root blinking
// until a click into the tree.
class CSimInfoDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CSimInfoDlg(SimInfoModel& model, QWidget* parent = nullptr);
    ~CSimInfoDlg() override;

    QTreeWidget* tree() const { return m_tree; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void select(int device);

    SimInfoModel& m_model;
    QTreeWidget* m_tree = nullptr;
};

}  // namespace msgdesk
