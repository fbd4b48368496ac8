// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/TransferCommands.h"

#include <filesystem>

#include "contacts/ContactImport.h"
#include "contacts/ContactWriter.h"
#include "res/StringTable.h"
#include "store/AtomicFile.h"
#include "store/MessageCsv.h"

namespace msgdesk {

TransferCommands::TransferCommands(MessageList& list, ContactBook& book, FileDialogPort& files,
                                   platform::MessageBoxPort& messageBox)
    : m_list(list), m_finder(list), m_book(book), m_files(files), m_mb(messageBox) {}

const std::vector<CommandSpec>& TransferCommands::commandSpecs() {
    static const std::vector<CommandSpec> specs = {
        {cmd::FindMessages, "查  找 (&I)...\tCtrl+F", nullptr, "Ctrl+F", nullptr},
        {cmd::ExportMailbox, "导出本箱短信 (CSV)...", nullptr, nullptr, nullptr},
        {cmd::ExportSelected, "导出所选短信 (CSV)...", nullptr, nullptr, nullptr},
        {cmd::ImportContacts, "导入联系人 (vCard/CSV)...", nullptr, nullptr, nullptr},
        {cmd::ExportContactsVcard, "导出联系人 (vCard)...", nullptr, nullptr, nullptr},
        {cmd::ExportContactsCsv, "导出联系人 (CSV)...", nullptr, nullptr, nullptr},
    };
    return specs;
}

const std::vector<MenuSpec>& TransferCommands::menuAdditions() {
    static const std::vector<MenuSpec> adds = {
        {"短信(&M)", {cmd::FindMessages, cmd::ExportMailbox, cmd::ExportSelected}},
        {"联系人(&C)", {cmd::ImportContacts, cmd::ExportContactsVcard, cmd::ExportContactsCsv}},
    };
    return adds;
}

std::vector<FoundRow> TransferCommands::shownRows() const {
    if (m_finder.filtering()) return m_finder.rows();
    std::vector<FoundRow> rows;
    if (const Mailbox* box = m_list.currentBox())
        for (int r = 0; r < box->size(); ++r) rows.push_back({box->id(), r});
    return rows;
}

std::vector<FoundRow> TransferCommands::selectedRows() const {
    std::vector<FoundRow> rows;
    if (m_finder.filtering()) {
        for (int s : m_finder.selectedShown())
            rows.push_back(m_finder.rows()[static_cast<size_t>(s)]);
    } else if (const Mailbox* box = m_list.currentBox()) {
        for (int r : box->selectedRows()) rows.push_back({box->id(), r});
    }
    return rows;
}

bool TransferCommands::isCommandEnabled(int id) const {
    switch (id) {
        case cmd::FindMessages:
            return m_list.current() != MessageList::kNoList || m_finder.allMailboxes();
        // Asked several times a second: counts only, no row lists.
        case cmd::ExportMailbox:
            return m_finder.filtering() ? m_finder.count() > 0
                                        : m_list.currentBox() && m_list.currentBox()->size() > 0;
        case cmd::ExportSelected:
            if (m_finder.allMailboxes()) return !m_finder.selectedShown().empty();
            // A filtered mailbox never holds a hidden row in its selection.
            return m_list.currentBox() && m_list.currentBox()->selectedCount() > 0;
        case cmd::ImportContacts:
            return true;
        case cmd::ExportContactsVcard:
        case cmd::ExportContactsCsv:
            return !m_book.empty();
        default:
            return false;
    }
}

bool TransferCommands::onCommand(int id) {
    switch (id) {
        case cmd::FindMessages:
            if (showFindBar) showFindBar();
            return true;
        case cmd::ExportMailbox:
            exportMessages(shownRows());
            return true;
        case cmd::ExportSelected:
            exportMessages(selectedRows());
            return true;
        case cmd::ImportContacts:
            importContacts();
            return true;
        case cmd::ExportContactsVcard:
        case cmd::ExportContactsCsv:
            exportContacts(id == cmd::ExportContactsVcard);
            return true;
        default:
            return false;
    }
}

void TransferCommands::say(const std::string& text, platform::MbIcon icon) {
    m_mb.show(platform::MessageBoxRequest{0, text, LoadStr(IDS_APP_TITLE), icon,
                                          platform::MbButtons::Ok});
}

bool TransferCommands::saveBytes(const std::string& title, const std::string& filter,
                                 const std::string& suggested, const std::string& bytes,
                                 int records) {
    const std::string name = m_files.saveFileName(title, filter, suggested);
    if (name.empty()) return false;
    const std::filesystem::path path(name);
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) {
        int answer = m_mb.show(
            platform::MessageBoxRequest{33110, FormatStr(33110, {name}), LoadStr(IDS_APP_TITLE),
                                        platform::MbIcon::Exclamation, platform::MbButtons::YesNo});
        if (answer != platform::IDYES) return false;
    }
    std::string error;
    if (!writeFileAtomically(path, bytes, error)) {
        say(FormatStr(33112, {name, error}), platform::MbIcon::Stop);
        return false;
    }
    say(FormatStr(33111, {int64_t{records}, name}), platform::MbIcon::Information);
    return true;
}

void TransferCommands::exportMessages(const std::vector<FoundRow>& rows) {
    if (rows.empty()) {
        say(LoadStr(33136), platform::MbIcon::Information);
        return;
    }
    std::string suggested =
        m_finder.allMailboxes() || m_list.current() == MessageList::kNoList
            ? "messages.csv"
            : std::string(LoadStr(60036 + static_cast<unsigned>(m_list.current()))) + ".csv";
    saveBytes(LoadStr(33130), LoadStr(33133), suggested, messagesToCsv(m_list.store(), rows),
              static_cast<int>(rows.size()));
}

void TransferCommands::exportContacts(bool vcard) {
    if (m_book.empty()) {
        say(LoadStr(33136), platform::MbIcon::Information);
        return;
    }
    saveBytes(
        LoadStr(33131), LoadStr(vcard ? 33134 : 33133), vcard ? "contacts.vcf" : "contacts.csv",
        vcard ? contactsToVcard(m_book) : contactsToCsv(m_book), static_cast<int>(m_book.size()));
}

void TransferCommands::importContacts() {
    const std::string name = m_files.openFileName(LoadStr(33132), LoadStr(33135));
    if (name.empty()) return;
    std::string bytes, error;
    if (!readWholeFile(name, bytes, error)) {
        say(FormatStr(33117, {name, FormatStr(33124, {error})}), platform::MbIcon::Stop);
        return;
    }
    ParsedContacts parsed = parseContactFile(bytes);
    const std::string shortName = std::filesystem::path(name).filename().string();
    if (parsed.error != ContactFileError::None) {
        say(importRefusal(shortName, parsed), platform::MbIcon::Exclamation);
        return;
    }
    ImportCounts counts = addImportedContacts(m_book, parsed);
    // Messages from the new contacts show their names at once.
    if (counts.added) m_list.refreshContactNames();
    say(importSummary(counts), platform::MbIcon::Information);
}

}  // namespace msgdesk
