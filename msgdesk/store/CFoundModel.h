// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QAbstractTableModel>
#include <array>

#include "store/MessageFinder.h"

namespace msgdesk {

// The found rows as a table: the mailbox columns, read from the mailboxes'
// own models so they look the same, and a ninth with the mailbox's name.
class CFoundModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kColMailbox = kMailboxColumns;

    CFoundModel(const MessageFinder& finder, std::array<QAbstractItemModel*, kMailboxCount> boxes,
                QObject* parent = nullptr);
    // The finder's rows changed: the view reads them again.
    void refresh();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

private:
    const MessageFinder& m_finder;
    std::array<QAbstractItemModel*, kMailboxCount> m_boxes;
};

}  // namespace msgdesk
