// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <memory>
#include <string>

#include "contacts/PhonebookPickerModel.h"

namespace msgdesk {

class CPhonebookList;

// 电话簿: picks one number from the computer's contacts and, on request,
// the SIM phonebooks. Stays on top of other windows. After OK, number()
// and name() (GBK) hold the chosen row's texts.
class CPhonebookPickerDlg final : public QDialog {
    Q_OBJECT
public:
    // attachedCount: the attached devices; without one the SIM box is
    // disabled (there is nothing to show). box: where refusals go (null:
    // a message box over this dialog).
    CPhonebookPickerDlg(ContactBook& book, SimPhonebook& sims, int attachedCount,
                        QWidget* parent = nullptr, platform::MessageBoxPort* box = nullptr);
    ~CPhonebookPickerDlg() override;

    std::string number() const { return m_model->number(); }
    std::string name() const { return m_model->name(); }
    PhonebookPickerModel& model() { return *m_model; }
    QLineEdit* findEdit() const { return m_find; }
    CPhonebookList* list() const { return m_list; }
    QCheckBox* bookBox() const { return m_bookBox; }
    QCheckBox* simBox() const { return m_simBox; }

    void accept() override;

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void rebuild();

    std::unique_ptr<platform::MessageBoxPort> m_ownBox;
    std::unique_ptr<PhonebookPickerModel> m_model;
    QLineEdit* m_find;
    CPhonebookList* m_list;
    QCheckBox* m_bookBox;
    QCheckBox* m_simBox;
};

}  // namespace msgdesk
