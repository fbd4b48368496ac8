// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <memory>

#include "contacts/LocalPhonebookModel.h"

namespace msgdesk {

class CPhonebookList;

// 计算机内电话簿管理: the computer's contact book with find, new, change,
// properties, delete and move to a SIM card.
class CLocalPhonebookDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CLocalPhonebookDlg(PhonebookServices& services, QWidget* parent = nullptr);
    ~CLocalPhonebookDlg() override;

    LocalPhonebookModel& model() { return *m_model; }
    QLineEdit* findEdit() const { return m_find; }
    CPhonebookList* list() const { return m_list; }

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void updateButtons();
    void onFind(const QString& text);

    std::unique_ptr<LocalPhonebookModel> m_model;
    QLineEdit* m_find;
    CPhonebookList* m_list;
    QPushButton* m_new;
    QPushButton* m_change;
    QPushButton* m_info;
    QPushButton* m_delete;
    QPushButton* m_toSim;
    QPushButton* m_exit;
};

}  // namespace msgdesk
