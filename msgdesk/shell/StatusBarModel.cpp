// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/StatusBarModel.h"

#include "device/WindowMessages.h"
#include "res/StringTable.h"

namespace msgdesk {

StatusBarModel::StatusBarModel(const platform::Clock& clock, Sources sources, View view)
    : m_clock(clock), m_sources(std::move(sources)), m_view(std::move(view)) {}

const std::string& StatusBarModel::text(int pane) const {
    static const std::string none;
    int i = pane - PANE_MAILBOX;
    return (i >= 0 && i < 5) ? m_texts[static_cast<size_t>(i)] : none;
}

void StatusBarModel::write(int pane, const std::string& text) {
    if (!m_visible) return;
    m_texts[static_cast<size_t>(pane - PANE_MAILBOX)] = text;
    if (m_view.setText) m_view.setText(pane, text);
}

void StatusBarModel::update(int pane, long kind) {
    switch (pane) {
        case PANE_MAILBOX:
            if (kind == 1) {
                if (!m_sources.mailboxCount) return;
                MailboxCount c = m_sources.mailboxCount();
                if (!c.hasList) return;
                switch (c.mailbox) {
                    case 0:
                        write(pane, FormatStr(60017, {c.rows, c.newRows}));
                        break;
                    case 1:
                        write(pane, FormatStr(60018, {c.rows}));
                        break;
                    case 2:
                        write(pane, FormatStr(60019, {c.rows}));
                        break;
                    case 3:
                        write(pane, FormatStr(60020, {c.rows}));
                        break;
                    case 4:
                        write(pane, FormatStr(60021, {c.rows}));
                        break;
                    default:
                        break;
                }
            } else if (kind == 2) {
                write(pane, LoadStr(60028));
            }
            return;
        case PANE_SIGNAL: {
            if (kind < 0) return;
            int device = static_cast<int>(kind / 32);
            int level = static_cast<int>(kind % 32);
            if (device == 0) {
                write(PANE_SIGNAL, " ");
                write(PANE_CAPACITY, " ");
                m_progress = 0;
            } else {
                write(PANE_SIGNAL, FormatStr(60023, {device}));
                m_progress = level;
                auto [cap, count] =
                    m_sources.simMessages ? m_sources.simMessages(device) : std::pair{0, 0};
                write(PANE_CAPACITY, FormatStr(60022, {device, cap, count}));
            }
            if (m_view.setProgress) m_view.setProgress(m_progress);
            return;
        }
        case PANE_CAPACITY:
            if (kind == 0 || kind == 2) write(pane, " ");
            return;
        case PANE_ACTIVITY:
            switch (kind) {
                case 0:
                    write(pane, " ");
                    break;
                case 1:
                    write(pane, LoadStr(60024));
                    break;
                case 2: {
                    auto [sent, failed] =
                        m_sources.sendTotals ? m_sources.sendTotals() : std::pair{0, 0};
                    if (sent != 0 || failed != 0) write(pane, FormatStr(60025, {sent, failed}));
                    break;
                }
                case 225:
                    write(pane, LoadStr(60026));
                    break;
                case 226: {
                    platform::LocalTime t = m_clock.localNow();
                    write(pane, FormatStr(60027, {t.hour, t.minute}));
                    break;
                }
                default:
                    break;
            }
            return;
        default:
            return;
    }
}

}  // namespace msgdesk
