// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose/SimMessageModel.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "compose/ComposeIds.h"
#include "compose/ComposeRequest.h"
#include "device/WindowMessages.h"
#include "res/StringTable.h"
#include "store/RowCompare.h"
#include "store/SimMessageCache.h"
#include "store/StoreCommands.h"

namespace msgdesk {

namespace {
constexpr int kKeepYes = compose::IDC_KEEP_YES;
constexpr int kKeepNo = compose::IDC_KEEP_NO;
constexpr int kViewReply = IDC_VIEW_REPLY;
constexpr int kViewForward = IDC_VIEW_FORWARD;

std::string columnText(const MessageRecord& r, int column) {
    switch (column) {
        case 1:
            return r.number();
        case 2:
            return r.contact();
        case 3:
            return r.text();
        case 4:
            return r.date();
        case 5:
            return r.time();
        default:
            return r.status();
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
    m_rows.clear();
    m_selection.clear();
    for (const MessageRecord& r : m_cache.records())
        if (m_filter == 0 || r.Icon == m_filter) m_rows.push_back(r);
}

void SimMessageModel::sortByColumn(int column) {
    if (column < 1 || column > 6) return;
    m_sortAscending = column == m_sortColumn ? !m_sortAscending : true;
    m_sortColumn = column;
    std::vector<std::pair<std::string, MessageRecord>> keyed;
    for (const MessageRecord& r : m_rows) keyed.emplace_back(columnText(r, column), r);
    // Stable: equal texts keep their order, and the date/time comparison is
    // not a total order on mixed columns.
    std::stable_sort(keyed.begin(), keyed.end(), [this](const auto& a, const auto& b) {
        const int c = CompareListTexts(a.first, b.first);
        return m_sortAscending ? c < 0 : c > 0;
    });
    for (size_t i = 0; i < keyed.size(); ++i) m_rows[i] = keyed[i].second;
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

const MessageRecord* SimMessageModel::firstSelected() const {
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

void SimMessageModel::view() {
    const MessageRecord* row = firstSelected();
    if (!row || !m_ports.openView) return;
    const MessageRecord shown = inboxCopy(*row);  // the list may change while the view is open
    const int answer = m_ports.openView(shown);
    if (answer == kViewReply) compose(1, shown.number());
    if (answer == kViewForward) compose(2, shown.text());
}

void SimMessageModel::reply() {
    if (const MessageRecord* row = firstSelected()) compose(1, row->number());
}

void SimMessageModel::forward() {
    if (const MessageRecord* row = firstSelected()) compose(2, row->text());
}

bool SimMessageModel::deleteSelected() {
    if (m_selection.empty()) return false;
    // Copies: a message box or prompt runs the event loop, and a confirmation
    // arriving then lists the rows again.
    std::vector<MessageRecord> taken;
    for (auto it = m_selection.rbegin(); it != m_selection.rend(); ++it)
        taken.push_back(m_rows[static_cast<size_t>(*it)]);
    const int answer = m_ports.askKeep ? m_ports.askKeep() : 2;
    if (answer != kKeepYes && answer != kKeepNo) return false;
    for (const MessageRecord& row : taken) {
        int index = 0;
        int device = 0;
        if (!SplitKey(row.status(), index, device)) continue;
        if (answer == kKeepYes) {
            MessageRecord copy = inboxCopy(row);
            m_ports.sendToFrame(platform::Message{
                UM_KEEPRECORD, 1, reinterpret_cast<platform::LPARAM>(&copy), nullptr});
        }
        m_ports.sendToFrame(platform::Message{
            UM_DELETESIMMESSAGE, static_cast<platform::WPARAM>(device), index, nullptr});
    }
    return true;
}

void SimMessageModel::exportSelected() {
    std::vector<MessageRecord> taken;
    for (auto it = m_selection.rbegin(); it != m_selection.rend(); ++it)
        taken.push_back(inboxCopy(m_rows[static_cast<size_t>(*it)]));
    for (MessageRecord& copy : taken)
        m_ports.sendToFrame(platform::Message{UM_KEEPRECORD, 1,
                                              reinterpret_cast<platform::LPARAM>(&copy), nullptr});
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

std::intptr_t SimMessageModel::onMessage(const platform::Message& m) {
    if (m.msg == UM_SIMMESSAGES) relist();
    return 0;
}

void SimMessageModel::notify() {
    if (m_ports.changed) m_ports.changed();
}

}  // namespace msgdesk
