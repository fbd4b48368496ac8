// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QItemSelection>
#include <QWidget>
#include <array>

#include "store/MessageList.h"

class QMenu;
class QTableView;

namespace msgdesk {

class CMailboxModel;

// The message list pane: five lists (control ids 1910..1914), one shown at a
// time, over the core mailboxes. Everything it decides is asked of
// MessageList; it only mirrors rows and selection and forwards the user's
// clicks, keys and menu choices.
class CListMsgView final : public QWidget, private MailboxObserver {
    Q_OBJECT
public:
    static constexpr int kFirstListId = 1910;

    explicit CListMsgView(MessageList& list, QWidget* parent = nullptr);
    ~CListMsgView() override;

    QTableView* listView(MailboxId id) const { return m_views[static_cast<size_t>(id)]; }
    // The visible list, or nullptr while the welcome text shows.
    QTableView* currentView() const;
    // The popup menu for the current list as it would show now (caller owns).
    QMenu* createPopupMenu();
    // W of the column widths (W*4/68, W*14/68, ...).
    int columnBaseWidth() const;

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void showCurrent(int mailbox);
    void applyColumnWidths();
    void copySelectionToCore(MailboxId id);
    void headerClicked(MailboxId id, int column);
    void popupAt(MailboxId id, const QPoint& pos);
    void selectionReset(const Mailbox& box, int caretRow) override;

    MessageList& m_list;
    std::array<QTableView*, kMailboxCount> m_views{};
    std::array<CMailboxModel*, kMailboxCount> m_models{};
    bool m_syncing = false;
};

}  // namespace msgdesk
