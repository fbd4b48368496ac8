// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/CMailboxModel.h"

#include <QApplication>
#include <QColor>

#include "platform/Codepage.h"
#include "res/StringTable.h"
#include "store/CStoreIcons.h"
#include "store/UnreadMark.h"

namespace msgdesk {

CMailboxModel::CMailboxModel(Mailbox& box, QObject* parent)
    : QAbstractTableModel(parent), m_box(box) {
    m_bold = QApplication::font();
    // Weight 600 as the lists were drawn; asked as Bold because the Chinese
    // fonts have no semibold face and only a bold request makes the engine
    // embolden them, as the old renderer did at 600.
    m_bold.setWeight(QFont::Bold);
    m_box.addObserver(this);
}

CMailboxModel::~CMailboxModel() {
    m_box.removeObserver(this);
}

int CMailboxModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_box.size();
}

int CMailboxModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kMailboxColumns;
}

QVariant CMailboxModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !m_box.validRow(index.row())) return {};
    const MailboxRow& row = m_box.row(index.row());
    const int col = index.column();
    switch (role) {
        case Qt::DisplayRole: {
            if (col == ColFlag) return {};
            QString text = QString::fromStdString(
                platform::codepage::gbkToUtf8(m_box.columnText(index.row(), col)));
            if (col == ColText && m_long) {
                auto whole = m_long->find(LongTexts::keyOf(row.rec));
                const int parts = whole.empty() ? 0 : LongTexts::partCount(whole.front());
                if (parts > 1)
                    // In front: the column elides the end of a long text.
                    text = QStringLiteral("(%1) ").arg(parts) + text;
                else if (parts == 1)
                    // One message whose stored form outgrew the field: shown whole.
                    text = QString::fromStdString(platform::codepage::gbkToUtf8(whole.front()));
            }
            return text;
        }
        case Qt::DecorationRole:
            if (col == ColFlag) {
                QPixmap pm = RowIcon(row.rec.Icon);
                if (!pm.isNull()) return pm;
            }
            return {};
        case Qt::FontRole:
            if (col != ColFlag && showsUnread(row.rec)) return m_bold;
            return {};
        case Qt::ForegroundRole:
            if (const auto* e = m_reports ? m_reports->find(LongTexts::keyOf(row.rec)) : nullptr) {
                switch (e->state) {
                    case DeliveryReports::State::Delivered:
                        return QColor(0x00, 0x80, 0x00);
                    case DeliveryReports::State::Failed:
                        return QColor(0xC0, 0x00, 0x00);
                    default:
                        return QColor(0x80, 0x80, 0x80);
                }
            }
            return {};
        case Qt::ToolTipRole:
            if (col != ColText && m_reports) {
                std::string report = m_reports->describe(LongTexts::keyOf(row.rec));
                if (!report.empty()) return QString::fromStdString(report);
            }
            if (col == ColText)
                return QString::fromStdString(platform::codepage::gbkToUtf8(
                    m_long ? m_long->wholeText(row.rec) : row.rec.text()));
            return {};
        default:
            return {};
    }
}

QVariant CMailboxModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const unsigned kCaptions[] = {0, 60042, 60043, 60044, 60045, 60046, 0, 0};
    if (section == ColFlag) return QStringLiteral("  ");
    if (section < 0 || section >= kMailboxColumns || kCaptions[section] == 0) return QString();
    return QString::fromUtf8(LoadStr(kCaptions[section]));
}

void CMailboxModel::beginInsertRows(const Mailbox&, int first, int last) {
    ++m_changing;
    QAbstractTableModel::beginInsertRows({}, first, last);
}

void CMailboxModel::endInsertRows(const Mailbox&) {
    QAbstractTableModel::endInsertRows();
    --m_changing;
}

void CMailboxModel::beginRemoveRows(const Mailbox&, int first, int last) {
    ++m_changing;
    QAbstractTableModel::beginRemoveRows({}, first, last);
}

void CMailboxModel::endRemoveRows(const Mailbox&) {
    QAbstractTableModel::endRemoveRows();
    --m_changing;
}

void CMailboxModel::beginReset(const Mailbox&) {
    ++m_changing;
    beginResetModel();
}

void CMailboxModel::endReset(const Mailbox&) {
    endResetModel();
    --m_changing;
}

void CMailboxModel::rowsChanged(const Mailbox&, int first, int last) {
    emit dataChanged(index(first, 0), index(last, kMailboxColumns - 1));
}

}  // namespace msgdesk
