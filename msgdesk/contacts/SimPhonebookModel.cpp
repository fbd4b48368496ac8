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

int SimPhonebookModel::rowOf(const SimPhoneEntry* e) const {
    if (!e) return -1;
    for (int i = 0; i < m_rows.size(); ++i)
        if (m_rows.at(i).entry == e) return i;
    return -1;
}

int SimPhonebookModel::newEntry() {
    int attached = m_s.devices.attachedCount();
    SimEntryInput in;
    in.device = m_choice;
    if (!m_s.dialogs.editSimEntry(in, false, attached)) return -1;
    // The chosen device went while the dialog was open: nothing to store on.
    if (!m_s.devices.deviceAttached(in.device)) return -1;
    // The position typed in the dialog is not used: the first free one is.
    SimPhoneEntry* e =
        CreateSimEntry(m_s.sims, m_s.requests, m_s.devices, m_s.box, in.device, in.number, in.name);
    // The request may have shown a box: the rows may have been rebuilt with
    // the entry in them already, or the entry freed with its device.
    if (!e || !shows(e->device)) return -1;
    int row = rowOf(e);
    if (row < 0) row = m_rows.insertSorted(SimEntryRow(e));
    return row;
}

int SimPhonebookModel::changeEntry() {
    SimPhoneEntry* e = m_rows.entryAt(m_rows.firstSelected());
    if (!e || !m_s.sims.Contains(e)) return -1;
    // The entry's SIM position is its key across the dialog: the address
    // may be freed and the rows rebuilt while it is open.
    const int device = e->device;
    const int index = e->index;
    SimEntryInput in{device, index, e->nameText(), e->numberText()};
    if (!m_s.dialogs.editSimEntry(in, true, m_s.devices.attachedCount())) return -1;
    e = FindSimEntryAt(m_s.sims, device, index);
    if (!e || !ChangeSimEntry(m_s.sims, m_s.requests, e, in.number, in.name)) return -1;
    // A refused store may already have put the old texts back, or a box
    // shown meanwhile let the device go.
    e = FindSimEntryAt(m_s.sims, device, index);
    const int row = rowOf(e);
    if (row < 0) return -1;
    m_rows.at(row).name = e->nameText();
    m_rows.at(row).number = e->numberText();
    return row;
}

void SimPhonebookModel::showInfo() {
    if (m_rows.selectedCount() != 1) return;
    SimPhoneEntry* e = m_rows.entryAt(m_rows.firstSelected());
    if (e && m_s.sims.Contains(e)) m_s.dialogs.showSimEntryInfo(*e);
}

void SimPhonebookModel::deleteEntries() {
    // Keys, not rows or addresses: while the question is open a confirmed
    // deletion or a removed device rebuilds the rows and frees entries.
    std::vector<std::pair<int, int>> keys;
    for (int i : m_rows.selected()) {
        const SimPhoneEntry* e = m_rows.entryAt(i);
        if (e && m_s.sims.Contains(e)) keys.emplace_back(e->device, e->index);
    }
    if (keys.empty()) return;
    if (ShowStringBox(m_s.box, 60000, platform::MbIcon::Information, {},
                      platform::MbButtons::OkCancel) != platform::IDOK)
        return;
    for (const auto& [device, index] : keys)
        if (SimPhoneEntry* e = FindSimEntryAt(m_s.sims, device, index))
            DeleteSimEntry(m_s.sims, m_s.requests, e);
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
