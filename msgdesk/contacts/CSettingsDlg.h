// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>

class QCheckBox;
class QComboBox;
class QTableWidget;

namespace msgdesk {

class PropertiesModel;

// The properties dialog (template 182, "属性") over its model: the two check
// boxes, the resend list and the SMS centre list, whose number column is
// edited in place after a double-click. exec() gives 1 for OK.
class CSettingsDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CSettingsDlg(PropertiesModel& model, QWidget* parent = nullptr);
    ~CSettingsDlg() override;

    QTableWidget* centres() const { return m_centres; }
    QComboBox* resend() const { return m_resend; }
    QCheckBox* keepCopy() const { return m_keep; }
    QCheckBox* soundOff() const { return m_sound; }
    QCheckBox* statusReports() const { return m_reports; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void showRows();
    void beginEdit(int row);
    void endEdit(QWidget* editor, bool cancelled);

    PropertiesModel& m_model;
    QCheckBox* m_keep = nullptr;
    QCheckBox* m_sound = nullptr;
    QCheckBox* m_reports = nullptr;
    QComboBox* m_resend = nullptr;
    QTableWidget* m_centres = nullptr;
    int m_editRow = -1;
};

}  // namespace msgdesk
