// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/Mailbox.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "store/LongTexts.h"
#include "store/RowCompare.h"
#include "store/UnreadMark.h"

namespace msgdesk {
namespace {

std::string_view fieldView(const char* f, size_t width) {
    return std::string_view(f, strnlen(f, width));
}

std::string_view columnView(const MailboxRow& r, int column) {
    const MessageRecord& m = r.rec;
    switch (column) {
        case ColNumber:
            return fieldView(m.Number, sizeof m.Number);
        case ColContact:
            return fieldView(m.Contact, sizeof m.Contact);
        case ColText:
            return fieldView(m.Text, sizeof m.Text);
        case ColDate:
            return fieldView(m.Date, sizeof m.Date);
        case ColTime:
            return fieldView(m.Time, sizeof m.Time);
        case ColStatus:
            return fieldView(m.Status, sizeof m.Status);
        case ColAttempts:
            return r.attempts;
        default:
            return {};
    }
}

}  // namespace

std::string Mailbox::columnText(int row, int column) const {
    if (!validRow(row)) return {};
    return std::string(columnView(m_rows[static_cast<size_t>(row)], column));
}

int Mailbox::countNew() const {
    int n = 0;
    for (const MailboxRow& r : m_rows)
        if (countsAsNew(r.rec)) ++n;
    return n;
}

void Mailbox::addObserver(MailboxObserver* o) {
    if (std::find(m_observers.begin(), m_observers.end(), o) == m_observers.end())
        m_observers.push_back(o);
}

void Mailbox::removeObserver(MailboxObserver* o) {
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), o), m_observers.end());
}

void Mailbox::notifyContent() {
    for (MailboxObserver* o : m_observers) o->contentChanged(*this);
}

void Mailbox::notifySelection(int caret) {
    for (MailboxObserver* o : m_observers) o->selectionReset(*this, caret);
}

void Mailbox::append(const MessageRecord& rec) {
    append(std::vector<MessageRecord>{rec});
}

void Mailbox::append(const std::vector<MessageRecord>& recs) {
    if (recs.empty()) return;
    int first = size();
    int last = first + static_cast<int>(recs.size()) - 1;
    for (MailboxObserver* o : m_observers) o->beginInsertRows(*this, first, last);
    m_rows.reserve(m_rows.size() + recs.size());
    for (const MessageRecord& r : recs) m_rows.push_back(MailboxRow{r, {}});
    m_selected.resize(m_rows.size(), 0);
    for (MailboxObserver* o : m_observers) o->endInsertRows(*this);
    notifyContent();
}

void Mailbox::replace(int row, const MessageRecord& rec) {
    if (!validRow(row)) return;
    MailboxRow& r = m_rows[static_cast<size_t>(row)];
    r.rec = rec;
    r.rec.Icon = 0;
    for (MailboxObserver* o : m_observers) o->rowsChanged(*this, row, row);
    notifyContent();
}

void Mailbox::setStatus(int row, std::string_view gbk) {
    if (!validRow(row)) return;
    m_rows[static_cast<size_t>(row)].rec.setStatus(gbk);
    for (MailboxObserver* o : m_observers) o->rowsChanged(*this, row, row);
    notifyContent();
}

void Mailbox::setContact(int row, std::string_view gbk) {
    if (!validRow(row)) return;
    m_rows[static_cast<size_t>(row)].rec.setContact(gbk);
    for (MailboxObserver* o : m_observers) o->rowsChanged(*this, row, row);
    notifyContent();
}

void Mailbox::setIcon(int row, int32_t icon) {
    if (!validRow(row)) return;
    m_rows[static_cast<size_t>(row)].rec.Icon = icon;
    for (MailboxObserver* o : m_observers) o->rowsChanged(*this, row, row);
}

void Mailbox::setAttempts(int row, std::string attempts) {
    if (!validRow(row)) return;
    m_rows[static_cast<size_t>(row)].attempts = std::move(attempts);
    for (MailboxObserver* o : m_observers) o->rowsChanged(*this, row, row);
}

void Mailbox::setSendId(int row, int64_t sendId) {
    if (validRow(row)) m_rows[static_cast<size_t>(row)].sendId = sendId;
}

void Mailbox::removeRange(int first, int last) {
    for (MailboxObserver* o : m_observers) o->beginRemoveRows(*this, first, last);
    for (int i = first; i <= last; ++i) m_selectedCount -= m_selected[static_cast<size_t>(i)];
    m_rows.erase(m_rows.begin() + first, m_rows.begin() + last + 1);
    m_selected.erase(m_selected.begin() + first, m_selected.begin() + last + 1);
    for (MailboxObserver* o : m_observers) o->endRemoveRows(*this);
}

void Mailbox::removeRows(std::vector<int> rows) {
    rows.erase(std::remove_if(rows.begin(), rows.end(), [&](int r) { return !validRow(r); }),
               rows.end());
    if (rows.empty()) return;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());

    // Contiguous runs, removed from the back so earlier positions hold.
    std::vector<std::pair<int, int>> runs;
    for (int r : rows) {
        if (!runs.empty() && runs.back().second + 1 == r)
            runs.back().second = r;
        else
            runs.emplace_back(r, r);
    }
    if (runs.size() <= 16) {
        for (auto it = runs.rbegin(); it != runs.rend(); ++it) removeRange(it->first, it->second);
    } else {
        // Many scattered rows: one compaction pass instead of a move per run.
        for (MailboxObserver* o : m_observers) o->beginReset(*this);
        std::vector<uint8_t> gone(m_rows.size(), 0);
        for (int r : rows) gone[static_cast<size_t>(r)] = 1;
        size_t w = 0;
        for (size_t i = 0; i < m_rows.size(); ++i) {
            if (gone[i]) {
                m_selectedCount -= m_selected[i];
                continue;
            }
            if (w != i) {
                m_rows[w] = std::move(m_rows[i]);
                m_selected[w] = m_selected[i];
            }
            ++w;
        }
        m_rows.resize(w);
        m_selected.resize(w);
        for (MailboxObserver* o : m_observers) o->endReset(*this);
        notifySelection(-1);
    }
    notifyContent();
}

void Mailbox::clear() {
    if (m_rows.empty()) return;
    for (MailboxObserver* o : m_observers) o->beginReset(*this);
    m_rows.clear();
    m_selected.clear();
    m_selectedCount = 0;
    for (MailboxObserver* o : m_observers) o->endReset(*this);
    notifyContent();
}

void Mailbox::loadRows(std::vector<MailboxRow>&& rows) {
    for (MailboxObserver* o : m_observers) o->beginReset(*this);
    m_rows = std::move(rows);
    m_selected.assign(m_rows.size(), 0);
    m_selectedCount = 0;
    for (MailboxObserver* o : m_observers) o->endReset(*this);
}

std::vector<int> Mailbox::sortBy(int column, bool ascending, const LongTexts* longTexts) {
    const size_t n = m_rows.size();
    std::vector<SortKey> keys(n);
    std::vector<std::string> wholes;  // the key views point into these
    if (column == ColText && longTexts && !longTexts->entries().empty()) {
        wholes.resize(n);
        for (size_t i = 0; i < n; ++i) wholes[i] = longTexts->wholeText(m_rows[i].rec);
    }
    for (size_t i = 0; i < n; ++i)
        keys[i] = MakeSortKey(wholes.empty() ? columnView(m_rows[i], column)
                                             : std::string_view(wholes[i]));
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const SortKey& ka = keys[static_cast<size_t>(a)];
        const SortKey& kb = keys[static_cast<size_t>(b)];
        return ascending ? CompareSortKeys(ka, kb) < 0 : CompareSortKeys(kb, ka) < 0;
    });

    for (MailboxObserver* o : m_observers) o->beginReset(*this);
    std::vector<MailboxRow> rows(n);
    std::vector<uint8_t> sel(n);
    std::vector<int> newPos(n);
    for (size_t i = 0; i < n; ++i) {
        size_t from = static_cast<size_t>(order[i]);
        rows[i] = std::move(m_rows[from]);
        sel[i] = m_selected[from];
        newPos[from] = static_cast<int>(i);
    }
    m_rows = std::move(rows);
    m_selected = std::move(sel);
    for (MailboxObserver* o : m_observers) o->endReset(*this);
    notifySelection(-1);  // a reset drops the views' selection; the rows kept theirs
    notifyContent();
    return newPos;
}

std::vector<int> Mailbox::selectedRows() const {
    std::vector<int> out;
    out.reserve(static_cast<size_t>(m_selectedCount));
    for (size_t i = 0; i < m_selected.size() && out.size() < static_cast<size_t>(m_selectedCount);
         ++i)
        if (m_selected[i]) out.push_back(static_cast<int>(i));
    return out;
}

int Mailbox::firstSelected() const {
    if (m_selectedCount == 0) return -1;
    for (size_t i = 0; i < m_selected.size(); ++i)
        if (m_selected[i]) return static_cast<int>(i);
    return -1;
}

void Mailbox::setSelected(int first, int last, bool on) {
    first = std::max(first, 0);
    last = std::min(last, size() - 1);
    for (int i = first; i <= last; ++i) {
        uint8_t& s = m_selected[static_cast<size_t>(i)];
        if (s != static_cast<uint8_t>(on)) {
            m_selectedCount += on ? 1 : -1;
            s = on;
        }
    }
}

void Mailbox::selectOnly(int row) {
    std::fill(m_selected.begin(), m_selected.end(), 0);
    m_selectedCount = 0;
    if (validRow(row)) {
        m_selected[static_cast<size_t>(row)] = 1;
        m_selectedCount = 1;
    }
    notifySelection(validRow(row) ? row : -1);
}

void Mailbox::selectAll() {
    std::fill(m_selected.begin(), m_selected.end(), 1);
    m_selectedCount = size();
    notifySelection(-1);
}

void Mailbox::clearSelection() {
    std::fill(m_selected.begin(), m_selected.end(), 0);
    m_selectedCount = 0;
    notifySelection(-1);
}

}  // namespace msgdesk
