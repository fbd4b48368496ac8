// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace msgdesk {

class SimMessageModel;

// The SIM message manager (template 205, "SIM卡短信息管理") over its model:
// the list, the device filter, the count and the buttons. Enter opens the
// view of the selected message and never closes the dialog; Delete deletes.
class CSimMessageDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CSimMessageDlg(SimMessageModel& model, QWidget* parent = nullptr);
    ~CSimMessageDlg() override;

    QTableWidget* list() const { return m_list; }
    QComboBox* filter() const { return m_filter; }
    QLabel* count() const { return m_count; }
    QPushButton* button(int id) const;

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void showRows();
    void selectionChanged();
    void updateButtons();

    SimMessageModel& m_model;
    QTableWidget* m_list = nullptr;
    QComboBox* m_filter = nullptr;
    QLabel* m_count = nullptr;
    bool m_filling = false;
};

}  // namespace msgdesk
