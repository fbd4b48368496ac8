// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "contacts/ContactBook.h"
#include "platform/MessageBox.h"
#include "shell/FileDialogPort.h"
#include "shell/MenuCommands.h"
#include "store/MessageFinder.h"

namespace msgdesk {

namespace cmd {
constexpr int FindMessages = 33001;
constexpr int ExportMailbox = 33002;
constexpr int ExportSelected = 33003;
constexpr int ImportContacts = 33011;
constexpr int ExportContactsVcard = 33012;
constexpr int ExportContactsCsv = 33013;
}  // namespace cmd

// Find, export and import: the commands appended to the 短信 and 联系人
// menus. Owns the message list's finder.
class TransferCommands final {
public:
    TransferCommands(MessageList& list, ContactBook& book, FileDialogPort& files,
                     platform::MessageBoxPort& messageBox);

    MessageFinder& finder() { return m_finder; }

    // How the commands appear, and which menu (by title) each group is
    // appended to, after a separator.
    static const std::vector<CommandSpec>& commandSpecs();
    static const std::vector<MenuSpec>& menuAdditions();

    static bool owns(int id) { return id >= 33001 && id <= 33099; }
    bool isCommandEnabled(int id) const;
    // Runs one of these commands; false for any other id.
    bool onCommand(int id);

    // The rows an export of the mailbox takes: what the list shows.
    std::vector<FoundRow> shownRows() const;
    std::vector<FoundRow> selectedRows() const;

    // Ctrl+F: the window shows and focuses the find bar.
    std::function<void()> showFindBar;

private:
    void exportMessages(const std::vector<FoundRow>& rows);
    void exportContacts(bool vcard);
    void importContacts();
    // Asks for a file and writes bytes to it; false when cancelled or failed.
    bool saveBytes(const std::string& title, const std::string& filter,
                   const std::string& suggested, const std::string& bytes, int records);
    void say(const std::string& text, platform::MbIcon icon);

    MessageList& m_list;
    MessageFinder m_finder;
    ContactBook& m_book;
    FileDialogPort& m_files;
    platform::MessageBoxPort& m_mb;
};

}  // namespace msgdesk
