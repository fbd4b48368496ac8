// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <memory>

#include "contacts/SimPhonebookModel.h"
#include "platform/MessageLoop.h"

namespace msgdesk {

class CPhonebookList;

// SIM卡电话簿管理: the SIM phonebooks of all devices or of one, with find,
// new, change, properties, delete and export to the computer. The main
// frame passes UM_SIMENTRYDONE on to it while it is open.
class CSimPhonebookDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CSimPhonebookDlg(PhonebookServices& services, QWidget* parent = nullptr);
    ~CSimPhonebookDlg() override;

    SimPhonebookModel& model() { return *m_model; }
    QLineEdit* findEdit() const { return m_find; }
    QComboBox* deviceList() const { return m_device; }
    CPhonebookList* list() const { return m_list; }

    // A message the main frame passed on: UM_SIMENTRYDONE, UM_DEVICEGONE,
    // or the contact pane's refresh (UM_REFRESHVIEWS 228): the rows are
    // rebuilt keeping the selected position.
    void onFrameMessage(const platform::Message& m);

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void updateButtons();
    void applyFind(const FindResult& r);

    std::unique_ptr<SimPhonebookModel> m_model;
    QLineEdit* m_find;
    QComboBox* m_device;
    CPhonebookList* m_list;
    QPushButton* m_new;
    QPushButton* m_change;
    QPushButton* m_info;
    QPushButton* m_delete;
    QPushButton* m_export;
    QPushButton* m_exit;
};

}  // namespace msgdesk
