// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose/SimMessageModel.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "compose/ComposeIds.h"
#include "device/WindowMessages.h"
#include "res/StringTable.h"
#include "store/ComposeRequest.h"
#include "store/ForwardText.h"
#include "store/KeptLongMessage.h"
#include "store/RowCompare.h"
#include "store/SimMessageCache.h"
#include "store/StoreCommands.h"

namespace msgdesk {

namespace {
constexpr int kKeepYes = compose::IDC_KEEP_YES;
constexpr int kKeepNo = compose::IDC_KEEP_NO;
constexpr int kViewReply = IDC_VIEW_REPLY;
constexpr int kViewForward = IDC_VIEW_FORWARD;

std::string columnText(const SimMessageRow& row, int column) {
    const MessageRecord& r = row.rec;
    switch (column) {
        case 1:
            return r.number();
        case 2:
            return r.contact();
        case 3:
            // The text as the column shows it, part count in front.
            return SimMessageModel::TextColumn(row);
        case 4:
            return r.date();
        case 5:
            return r.time();
        case 6:
            return r.status();
        default:
            return {};  // column 0 shows only the device's icon
    }
}
}  // namespace

SimMessageModel::SimMessageModel(const SimMessageCache& cache, int deviceCount, Ports ports)
    : m_cache(cache),
      m_deviceCount(std::clamp(deviceCount, 0, kMaxDevices)),
      m_ports(std::move(ports)) {
    list();
}

std::vector<std::string> SimMessageModel::filterEntries() const {
    std::vector<std::string> out{LoadStr(60055)};
    for (int d = 1; d <= m_deviceCount; ++d) out.push_back(FormatStr(60048, {d}));
    return out;
}

void SimMessageModel::setFilter(int entry) {
    m_filter = (entry >= 1 && entry <= kMaxDevices) ? entry : 0;
    relist();
}

void SimMessageModel::relist() {
    const int keep = m_selection.empty() ? -1 : m_selection.front();
    list();
    if (keep >= 0 && keep < static_cast<int>(m_rows.size())) m_selection = {keep};
    notify();
}

void SimMessageModel::list() {
    m_selection.clear();
    m_rows = JoinSimMessages(m_cache, m_filter);
}

void SimMessageModel::sortByColumn(int column) {
    if (column < 0 || column > 6) return;
    m_sortAscending = column == m_sortColumn ? !m_sortAscending : true;
    m_sortColumn = column;
    std::vector<std::pair<std::string, SimMessageRow>> keyed;
    for (SimMessageRow& r : m_rows) keyed.emplace_back(columnText(r, column), std::move(r));
    // Stable: equal texts keep their order, and the date/time comparison is
    // not a total order on mixed columns.
    std::stable_sort(keyed.begin(), keyed.end(), [this](const auto& a, const auto& b) {
        const int c = CompareListTexts(a.first, b.first);
        return m_sortAscending ? c < 0 : c > 0;
    });
    for (size_t i = 0; i < keyed.size(); ++i) m_rows[i] = std::move(keyed[i].second);
    m_selection.clear();
    notify();
}

std::string SimMessageModel::countText() const {
    return FormatStr(60056, {static_cast<int>(m_rows.size())});
}

void SimMessageModel::setSelection(std::vector<int> rows) {
    const int n = static_cast<int>(m_rows.size());
    rows.erase(std::remove_if(rows.begin(), rows.end(), [n](int r) { return r < 0 || r >= n; }),
               rows.end());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    m_selection = std::move(rows);
}

SimMessageModel::Buttons SimMessageModel::buttons() const {
    const size_t n = m_selection.size();
    return Buttons{n == 1, n == 1, n == 1, n >= 1, n >= 1};
}

const SimMessageRow* SimMessageModel::firstSelected() const {
    return m_selection.empty() ? nullptr : &m_rows[static_cast<size_t>(m_selection.front())];
}

MessageRecord SimMessageModel::inboxCopy(const MessageRecord& row) {
    MessageRecord r;
    std::memcpy(r.Number, row.Number, sizeof r.Number);
    std::memcpy(r.Contact, row.Contact, sizeof r.Contact);
    std::memcpy(r.Text, row.Text, sizeof r.Text);
    std::memcpy(r.Date, row.Date, sizeof r.Date);
    std::memcpy(r.Time, row.Time, sizeof r.Time);
    return r;
}

void SimMessageModel::compose(int mode, const std::string& text) {
    if (m_ports.sendToFrame) m_ports.sendToFrame(MakeComposeRequest(text, mode));
}

void SimMessageModel::forwardRow(const SimMessageRow& row) {
    const ForwardText f = ForwardTextOf(row.rec, row.whole);
    // Told before compose opens: the request is sent, and compose runs modally.
    if (f.shortened && m_ports.messageBox) m_ports.messageBox->show(ForwardShortenedNotice());
    compose(2, f.text);
}

bool SimMessageModel::keep(const SimMessageRow& row) {
    MessageRecord copy = inboxCopy(row.rec);
    std::intptr_t stored = 0;
    if (row.whole == copy.text()) {
        stored = m_ports.sendToFrame(platform::Message{
            UM_KEEPRECORD, KEEP_RECORD, reinterpret_cast<platform::LPARAM>(&copy), nullptr});
    } else {
        KeptLongMessage kept{copy, row.whole};
        stored = m_ports.sendToFrame(platform::Message{
            UM_KEEPRECORD, KEEP_LONG_MESSAGE, reinterpret_cast<platform::LPARAM>(&kept), nullptr});
    }
    return stored != 0;
}

void SimMessageModel::view() {
    const SimMessageRow* row = firstSelected();
    if (!row || !m_ports.openView) return;
    // Copies: the list may change while the view is open.
    SimMessageRow shown = *row;
    shown.rec = inboxCopy(row->rec);
    const int answer = m_ports.openView(shown.rec, shown.whole);
    if (answer == kViewReply) compose(1, shown.rec.number());
    if (answer == kViewForward) forwardRow(shown);
}

void SimMessageModel::reply() {
    if (const SimMessageRow* row = firstSelected()) compose(1, row->rec.number());
}

void SimMessageModel::forward() {
    if (const SimMessageRow* row = firstSelected()) forwardRow(*row);
}

bool SimMessageModel::deleteSelected() {
    if (m_selection.empty()) return false;
    // Copies: a message box or prompt runs the event loop, and a confirmation
    // arriving then lists the rows again.
    std::vector<SimMessageRow> taken;
    for (auto it = m_selection.rbegin(); it != m_selection.rend(); ++it)
        taken.push_back(m_rows[static_cast<size_t>(*it)]);
    const int answer = m_ports.askKeep ? m_ports.askKeep() : 2;
    if (answer != kKeepYes && answer != kKeepNo) return false;
    for (const SimMessageRow& row : taken) {
        // Gone from the SIM while the question was open: nothing to do.
        if (keysStillCached(row).empty()) continue;
        // Not on the computer after all: the SIM copy is the only one left.
        if (answer == kKeepYes && !keep(row)) continue;
        // Found again at each request: a request's own message box may
        // let a removal in before the next one.
        for (const std::string& key : row.keys) {
            int index = 0;
            int device = 0;
            if (!cached(key, row) || !SplitKey(key, index, device)) continue;
            m_ports.sendToFrame(platform::Message{
                UM_DELETESIMMESSAGE, static_cast<platform::WPARAM>(device), index, nullptr});
        }
    }
    return true;
}

void SimMessageModel::exportSelected() {
    std::vector<SimMessageRow> taken;
    for (auto it = m_selection.rbegin(); it != m_selection.rend(); ++it)
        taken.push_back(m_rows[static_cast<size_t>(*it)]);
    for (const SimMessageRow& row : taken)
        if (!keysStillCached(row).empty()) keep(row);
}

bool SimMessageModel::cached(const std::string& key, const SimMessageRow& row) const {
    // The key names a SIM position; the number tells that the position
    // still holds this message and not one stored there since.
    for (const MessageRecord& r : m_cache.records())
        if (r.status() == key && r.number() == row.rec.number()) return true;
    return false;
}

std::vector<std::string> SimMessageModel::keysStillCached(const SimMessageRow& row) const {
    std::vector<std::string> out;
    for (const std::string& key : row.keys)
        if (cached(key, row)) out.push_back(key);
    return out;
}

bool SimMessageModel::SplitKey(std::string_view key, int& simIndex, int& device) {
    const size_t slash = key.find('/');
    if (slash == std::string_view::npos || slash == 0 || slash + 1 >= key.size()) return false;
    auto parse = [](std::string_view s, int& out) {
        auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
        return ec == std::errc() && p == s.data() + s.size();
    };
    return parse(key.substr(0, slash), simIndex) && parse(key.substr(slash + 1), device) &&
           device >= 1 && device <= kMaxDevices && simIndex >= 0;
}

std::string SimMessageModel::TextColumn(const SimMessageRow& row) {
    // In front: the column elides the end of a long text.
    if (row.parts > 1) return "(" + std::to_string(row.parts) + ") " + row.rec.text();
    return row.rec.text();
}

std::intptr_t SimMessageModel::onMessage(const platform::Message& m) {
    if (m.msg == UM_SIMMESSAGES || m.msg == UM_DEVICEGONE) relist();
    return 0;
}

void SimMessageModel::notify() {
    if (m_ports.changed) m_ports.changed();
}

}  // namespace msgdesk
