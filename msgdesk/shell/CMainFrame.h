// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QToolBar>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "phone/PhoneDialogCore.h"
#include "platform/MessageLoop.h"

namespace msgdesk {

class CStatusBar;
class CMsgdeskView;
class MainFrameCore;
class FrameWindow;
class CLeftBoxView;
class CListMsgView;
class CMsgPreview;
class CPhoneDlg;
class CContactView;
class CPhonebookDialogs;
class CSimPhonebookDlg;
class CFindPane;
class FileDialogPort;
class TransferCommands;
class CConversationDlg;

// The main window: tool bar, menus, status bar and the main view, over the
// main frame's core, which holds every rule. This class only shows what the
// core asks for and turns user actions into core calls.
class CMainFrame final : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(MainFrameCore& core, QWidget* parent = nullptr);
    ~CMainFrame() override;

    QAction* action(int commandId) const;
    CStatusBar* statusPanes() const { return m_status; }
    CMsgdeskView* view() const { return m_view; }
    CLeftBoxView* tree() const { return m_tree; }
    CListMsgView* list() const { return m_list; }
    CMsgPreview* preview() const { return m_preview; }
    CContactView* contactView() const { return m_contactView; }
    // Passes a message on to the open device dialog (the SIM phonebook
    // manager), queued as a posted message would be.
    void postToDeviceDialog(const platform::Message& m);
    // The message list with its find bar above it.
    CFindPane* findPane() const { return m_findPane; }
    TransferCommands* transfer() const { return m_transfer.get(); }
    QToolBar* toolBar() const { return m_toolbar; }
    // The modeless phone window, created hidden with the frame.
    CPhoneDlg* phoneDialog() const { return m_phoneDlg; }
    // The phonebook picker the phone window offers; none: its button is off.
    void setPhonebookPicker(PhoneDialogCore::Picker picker);
    // Re-reads every command's enabled state from the core.
    void updateCommandUI();
    // The conversation window with the number (GBK): one per conversation,
    // raised when it is open already.
    CConversationDlg* openConversation(const std::string& numberGbk);
    // Shows the main window in front (a second start on the same folder).
    void raiseWindow();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void buildActions();
    void buildMenus();
    void buildToolBar();
    void onCommand(int id);
    void popupPhonebookMenu();
    void createPhoneDialog();
    void trackActiveView(QWidget* now);
    // Find, export and import (CMainFrameTransfer.cpp): returns the pane
    // that takes the message list's place.
    QWidget* setUpTransfer();
    bool transferCommand(int id);
    bool transferEnabled(int id, bool& enabled) const;

    MainFrameCore& m_core;
    std::map<int, QAction*> m_actions;
    QToolBar* m_toolbar = nullptr;
    QMenu* m_phonebookMenu = nullptr;
    CStatusBar* m_status = nullptr;
    CMsgdeskView* m_view = nullptr;
    CLeftBoxView* m_tree = nullptr;
    CListMsgView* m_list = nullptr;
    CMsgPreview* m_preview = nullptr;
    CPhoneDlg* m_phoneDlg = nullptr;
    CContactView* m_contactView = nullptr;
    std::unique_ptr<CPhonebookDialogs> m_phonebookDialogs;
    QPointer<CSimPhonebookDlg> m_deviceDialog;
    bool m_closing = false;
    std::unique_ptr<FrameWindow> m_adapter;
    std::unique_ptr<FileDialogPort> m_files;
    std::unique_ptr<TransferCommands> m_transfer;
    CFindPane* m_findPane = nullptr;
    std::vector<QPointer<CConversationDlg>> m_conversations;
};

}  // namespace msgdesk
