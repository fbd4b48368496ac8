// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/SimPhonebookModel.h"

#include "contacts/ContactMessageBox.h"
#include "contacts/ContactTransfer.h"
#include "contacts/SimPhonebookEdits.h"
#include "device/WindowMessages.h"
#include "res/StringTable.h"

namespace msgdesk {

std::vector<std::string> DeviceChoiceTexts(int attachedCount) {
    std::vector<std::string> out;
    for (int d = 1; d <= attachedCount && d <= kMaxDevices; ++d)
        out.push_back(FormatStr(60048, {d}));
    return out;
}

std::vector<std::string> DeviceFilterTexts(int attachedCount) {
    std::vector<std::string> out{LoadStr(60055)};
    for (auto& t : DeviceChoiceTexts(attachedCount)) out.push_back(t);
    return out;
}

SimPhonebookModel::SimPhonebookModel(PhonebookServices& s) : m_s(s) {
    rebuild();
}

void SimPhonebookModel::rebuild() {
    PhonebookRows::Rows rows;
    for (int d = 1; d <= kMaxDevices; ++d) {
        if (!shows(d)) continue;
        for (const auto& e : m_s.sims.list(d)) rows.push_back(SimEntryRow(e.get()));
    }
    m_rows.assignSorted(std::move(rows));
}

FindResult SimPhonebookModel::setDeviceChoice(int d, std::string_view findTextGbk) {
    m_choice = (d >= 0 && d <= kMaxDevices) ? d : 0;
    rebuild();
    if (findTextGbk.empty()) return FindResult{};
    return find(findTextGbk);
}

FindResult SimPhonebookModel::find(std::string_view textGbk) {
    return RunFind(m_rows, textGbk, UnmatchedFindText::Remove, m_s.box);
}

int SimPhonebookModel::entryDone() {
    int pos = m_rows.firstSelected();
    rebuild();
    if (m_rows.size() == 0) return -1;
    if (pos < 0) pos = 0;
    if (pos >= m_rows.size()) pos = m_rows.size() - 1;
    m_rows.setSelected(pos, true);
    return pos;
}

int SimPhonebookModel::newEntry() {
    int attached = m_s.devices.attachedCount();
    SimEntryInput in;
    in.device = m_choice;
    if (!m_s.dialogs.editSimEntry(in, false, attached)) return -1;
    // The position typed in the dialog is not used: the first free one is.
    SimPhoneEntry* e =
        CreateSimEntry(m_s.sims, m_s.requests, m_s.devices, m_s.box, in.device, in.number, in.name);
    if (!e || !shows(e->device) || !m_s.sims.Contains(e)) return -1;
    int row = m_rows.insertSorted(SimEntryRow(e));
    m_rows.selectOnly(row);
    return row;
}

void SimPhonebookModel::changeEntry() {
    int row = m_rows.firstSelected();
    SimPhoneEntry* e = m_rows.entryAt(row);
    if (!e || !m_s.sims.Contains(e)) return;
    SimEntryInput in{e->device, e->index, e->nameText(), e->numberText()};
    if (!m_s.dialogs.editSimEntry(in, true, m_s.devices.attachedCount())) return;
    if (!ChangeSimEntry(m_s.sims, m_s.requests, e, in.number, in.name)) return;
    // A refused store may already have put the old texts back.
    if (m_s.sims.Contains(e)) {
        m_rows.at(row).name = e->nameText();
        m_rows.at(row).number = e->numberText();
    }
}

void SimPhonebookModel::showInfo() {
    if (m_rows.selectedCount() != 1) return;
    SimPhoneEntry* e = m_rows.entryAt(m_rows.firstSelected());
    if (e && m_s.sims.Contains(e)) m_s.dialogs.showSimEntryInfo(*e);
}

void SimPhonebookModel::deleteEntries() {
    std::vector<int> sel = m_rows.selected();
    if (sel.empty()) return;
    if (ShowStringBox(m_s.box, 60000, platform::MbIcon::Information, {},
                      platform::MbButtons::OkCancel) != platform::IDOK)
        return;
    // Collected first: a request answered at once may rebuild the rows.
    std::vector<SimPhoneEntry*> entries;
    for (int i : sel) entries.push_back(m_rows.entryAt(i));
    for (SimPhoneEntry* e : entries) DeleteSimEntry(m_s.sims, m_s.requests, e);
}

void SimPhonebookModel::exportToBook() {
    std::vector<const SimPhoneEntry*> entries;
    for (int i : m_rows.selected()) {
        SimPhoneEntry* e = m_rows.entryAt(i);
        if (e && m_s.sims.Contains(e)) entries.push_back(e);
    }
    if (entries.empty()) return;
    CopySimEntriesToBook(entries, m_s.book, m_s.requests, m_s.box);
}

}  // namespace msgdesk
