#pragma once
#include <QDialog>
#include <memory>

#include "SettingsView.h"
#include "WanmateCore.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace wanmate {

class CIpAddressCtrl;

// The dialer's main window: the settings dialog (102). It shows the core's
// settings and turns the buttons into core calls; the rules live in
// WanmateCore.
class CWanmateDlg final : public QDialog, public SettingsView {
    Q_OBJECT
public:
    explicit CWanmateDlg(WanmateServices services, QWidget* parent = nullptr);
    ~CWanmateDlg() override;

    // The core's start-up; false when the program must end.
    bool initialise() { return m_core->initialise(); }
    WanmateCore& core() { return *m_core; }

    // SettingsView
    uint32_t address() const override;
    void setAddress(uint32_t packed) override;
    void showFields(const SettingsFields& f) override;
    SettingsFields readFields() const override;
    void setNumberList(const std::vector<std::string>& numbers) override;

    // "隐藏" and Esc: out of sight, the program goes on.
    void HideToTray();

protected:
    void reject() override { HideToTray(); }
    void closeEvent(QCloseEvent* e) override;

private:
    void build();

    CIpAddressCtrl* m_address = nullptr;
    QLineEdit* m_init = nullptr;
    QComboBox* m_number = nullptr;
    QCheckBox* m_dialOnInsert = nullptr;
    QCheckBox* m_autorun = nullptr;
    QPushButton* m_apply = nullptr;
    QPushButton* m_hide = nullptr;
    QPushButton* m_defaults = nullptr;
    std::unique_ptr<WanmateCore> m_core;
};

}  // namespace wanmate
