// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "ControlChannel.h"
#include "SettingsView.h"
#include "WanmateCore.h"
#include "platform/InstanceLock.h"
#include "platform/ras/PppSession.h"

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QSystemTrayIcon;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace wanmate {

class CIpAddressCtrl;
class CDialProgressDlg;

// Command ids of menu 130.
enum TrayCommand {
    ID_SETTINGS = 32774,
    ID_REFRESH = 32775,
    ID_DIAL = 32771,
    ID_HANGUP = 32772,
    ID_EXIT = 32773
};

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
    // 设置 and a double-click on the icon.
    void ShowSettings();

    // The tray program's start: with a notification area the window stays
    // hidden and the icon appears after 2 s; without one the window is shown
    // with a note saying why. The lock is held until 退出.
    void startTray(std::unique_ptr<platform::InstanceLock> lock, bool showSplash);
    // 退出: saves the settings, removes the icon, ends the program (through
    // the exit handler; tests replace it, since ending the application's
    // loop outside it would end the next loop at once).
    void exitProgram();
    void setExitHandler(std::function<void()> h) { m_onExit = std::move(h); }
    // The dial request: one progress dialog at a time, tray icon removed
    // while it runs.
    void runDialRequest();

    bool trayMode() const { return m_trayMode; }
    QSystemTrayIcon* trayIcon() const { return m_tray; }
    QMenu* trayMenu() const { return m_menu; }
    QAction* menuAction(TrayCommand id) const;
    // Applies the menu's graying and removal rules (done before it shows).
    void updateTrayMenu();
    bool dialing() const { return m_dialing; }

    // The command line's requests (`wanmate --connect` ...) on `socket`;
    // linkInfo describes the link that is up. False with the reason when
    // the socket cannot be had.
    using LinkInfoSource = std::function<std::optional<platform::ras::PppSession::Info>()>;
    bool startControl(const std::filesystem::path& socket, LinkInfoSource linkInfo,
                      std::string* why);

protected:
    void reject() override { HideToTray(); }
    void closeEvent(QCloseEvent* e) override;

private:
    void onControl(ControlRequest request, ControlReplyPtr reply);
    void onDialEvent(DialEvent e, const std::string& why);
    std::string statusReport();
    void build();
    void buildTray();
    void addTrayIcon();
    void removeTrayIcon();

    CIpAddressCtrl* m_address = nullptr;
    QLineEdit* m_init = nullptr;
    QComboBox* m_number = nullptr;
    QCheckBox* m_dialOnInsert = nullptr;
    QCheckBox* m_autorun = nullptr;
    QPushButton* m_apply = nullptr;
    QPushButton* m_hide = nullptr;
    QPushButton* m_defaults = nullptr;
    QLabel* m_noTrayNote = nullptr;
    QSystemTrayIcon* m_tray = nullptr;
    QMenu* m_menu = nullptr;
    std::unique_ptr<platform::InstanceLock> m_lock;
    bool m_trayMode = false;
    bool m_trayStarted = false;
    bool m_mayShow = false;
    bool m_shown = false;
    bool m_dialing = false;
    bool m_dialPending = false;
    std::function<void()> m_onExit;
    std::unique_ptr<ControlServer> m_control;
    LinkInfoSource m_linkInfo;
    // Commands waiting for a dial: whether each waits for the outcome.
    std::vector<std::pair<ControlReplyPtr, bool>> m_dialWaiters;
    CDialProgressDlg* m_current = nullptr;
    std::unique_ptr<WanmateCore> m_core;
};

}  // namespace wanmate
