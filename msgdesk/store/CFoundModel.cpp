// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/CFoundModel.h"

#include "res/StringTable.h"

namespace msgdesk {

CFoundModel::CFoundModel(const MessageFinder& finder,
                         std::array<QAbstractItemModel*, kMailboxCount> boxes, QObject* parent)
    : QAbstractTableModel(parent), m_finder(finder), m_boxes(boxes) {}

void CFoundModel::refresh() {
    beginResetModel();
    endResetModel();
}

int CFoundModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_finder.count();
}

int CFoundModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kMailboxColumns + 1;
}

QVariant CFoundModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_finder.count()) return {};
    const FoundRow& f = m_finder.rows()[static_cast<size_t>(index.row())];
    if (index.column() == kColMailbox)
        return role == Qt::DisplayRole
                   ? QVariant(QString::fromUtf8(LoadStr(60036 + static_cast<unsigned>(f.mailbox))))
                   : QVariant();
    QAbstractItemModel* m = m_boxes[static_cast<size_t>(f.mailbox)];
    return m->data(m->index(f.row, index.column()), role);
}

QVariant CFoundModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o == Qt::Horizontal && section == kColMailbox && role == Qt::DisplayRole)
        return QString::fromUtf8(LoadStr(33104));
    return m_boxes[0]->headerData(section, o, role);
}

}  // namespace msgdesk
