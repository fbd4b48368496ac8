// SPDX-License-Identifier: GPL-3.0-or-later
// The main frame's commands: what each does and when it is enabled.
#include <array>

#include "platform/Shell.h"
#include "res/StringTable.h"
#include "shell/MainFrameCore.h"
#include "types/Commands.h"

namespace msgdesk {

namespace {

// Commands whose window is not built yet stay disabled, so that no enabled
// command is silent. Every window is built now; a command added before its
// window goes here until the window arrives.
constexpr std::array<int, 0> kNotBuiltYet{};

}  // namespace

bool MainFrameCore::commandBuilt(int id) {
    for (int missing : kNotBuiltYet)
        if (missing == id) return false;
    return true;
}

void MainFrameCore::openHelp() {
    if (platform::ShellExecuteA("open", m_s.helpFile.c_str()) > 32) return;
    platform::MessageBoxRequest r;
    r.text = "无法打开帮助文件，请用浏览器打开：\n" + m_s.helpFile;
    r.caption = LoadStr(IDS_APP_TITLE);
    r.icon = platform::MbIcon::Information;
    m_s.messageBox.show(r);
}

void MainFrameCore::command(int id) {
    if (!commandBuilt(id)) return;
    switch (id) {
        case cmd::Connect:
        case cmd::Disconnect:
            if (m_link) m_link->onCommand(id);
            return;
        case cmd::Help:
            openHelp();
            return;
        case cmd::About:
            if (m_window) m_window->showAbout();
            return;
        case cmd::Phone:
            showPhoneDialog();
            return;
        case cmd::Exit:
            if (m_window) m_window->closeWindow();
            return;
        case cmd::SimInfo:
            if (m_link && commandEnabled(id)) openSimInfoView(m_link->devices().snapshot());
            return;
        case cmd::SimMessages:
            if (m_link && commandEnabled(id)) openSimMessages();
            return;
        case cmd::Settings:
            if (m_link) openProperties();
            return;
        case cmd::NewMessage:
            m_s.loop.send(this, UM_COMPOSE, 0, 1);
            return;
        case cmd::EmptyDeleteBox:
            m_tree->onCommand(static_cast<unsigned>(id));
            return;
        case cmd::FileWaitingParts:
            fileWaitingPartsNow();
            return;
        case cmd::UssdQuery:
            openUssd();
            return;
        default:
            break;
    }
    if (ContactsCore::handles(id)) {
        if (commandEnabled(id)) m_contacts->command(id);
        return;
    }
    if (m_list->onCommand(static_cast<unsigned>(id))) return;
}

bool MainFrameCore::commandEnabled(int id) const {
    if (!commandBuilt(id)) return false;
    const bool active = m_link && m_link->linkActive();
    switch (id) {
        // The tool bar's phonebook menu is worth opening while one of its
        // entries is.
        case cmd::PhonebookMenu:
            return commandEnabled(cmd::LocalPhonebook) || commandEnabled(cmd::SimPhonebook);
        case cmd::Connect:
        case cmd::Disconnect:
            return m_link && m_link->commandEnabled(id);
        case cmd::SimMessages:
        case cmd::SimInfo:
        case cmd::SimPhonebook:
            return active && m_link->simInitCount() == 0;
        case cmd::NewMessage:
            return true;  // compose: the dialog is built
        case cmd::FileWaitingParts:
            return m_receiver && m_receiver->parts().waitingMessages() > 0;
        case cmd::Reply:
        case cmd::Forward:
        case cmd::SelectAll:
        case cmd::Delete:
        case cmd::Restore:
        case cmd::Resend:
        case cmd::Conversation:
            return m_list->isCommandEnabled(static_cast<unsigned>(id));
        default:
            break;
    }
    if (ContactsCore::handles(id)) return m_contacts->commandEnabled(id);
    return true;
}

void MainFrameCore::fileWaitingPartsNow() {
    const int waiting = m_receiver ? m_receiver->parts().waitingMessages() : 0;
    if (waiting == 0) return;
    const int answer = m_s.messageBox.show(
        platform::MessageBoxRequest{33202, FormatStr(33202, {waiting}), LoadStr(IDS_APP_TITLE),
                                    platform::MbIcon::Exclamation, platform::MbButtons::YesNo});
    if (answer == platform::IDYES) m_receiver->fileWaitingParts(true);
}

void MainFrameCore::paneDoubleClicked(int pane) {
    if (m_link) m_link->onPaneDoubleClick(pane);
}

}  // namespace msgdesk
