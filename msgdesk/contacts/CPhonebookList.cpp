// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/CPhonebookList.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include "res/StringTable.h"
#include "widgets/CDeviceIcons.h"
#include "widgets/CGbkText.h"

namespace msgdesk {

namespace {
// Draws each cell, then its right and bottom edge in the palette's mid tone.
class GridDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* p, const QStyleOptionViewItem& o, const QModelIndex& i) const override {
        QStyledItemDelegate::paint(p, o, i);
        p->save();
        p->setPen(o.palette.color(QPalette::Mid));
        p->drawLine(o.rect.bottomLeft(), o.rect.bottomRight());
        p->drawLine(o.rect.topRight(), o.rect.bottomRight());
        p->restore();
    }
};
}  // namespace

void CPhonebookList::setGridLines(bool on) {
    if (on == m_gridLines) return;
    m_gridLines = on;
    if (on)
        setItemDelegate(new GridDelegate(this));
    else
        setItemDelegate(new QStyledItemDelegate(this));
}

CPhonebookList::CPhonebookList(int nameExtra, int numberMargin, bool multiSelect, QWidget* parent)
    : QTreeWidget(parent), m_nameExtra(nameExtra), m_numberMargin(numberMargin) {
    setColumnCount(2);
    setHeaderLabels({QString::fromUtf8(LoadStr(60043)), QString::fromUtf8(LoadStr(60042))});
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(multiSelect ? QAbstractItemView::ExtendedSelection
                                 : QAbstractItemView::SingleSelection);
    setIconSize(QSize(16, 16));
    connect(this, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (!m_applying) emit selectionEdited();
    });
    header()->setStretchLastSection(false);
    fitColumns();
}

void CPhonebookList::fitColumns() {
    // Four Chinese characters as the list draws them.
    int sample = fontMetrics().horizontalAdvance(QStringLiteral("联系人名"));
    int c0 = sample + m_nameExtra;
    setColumnWidth(0, c0);
    setColumnWidth(1, std::max(40, viewport()->width() - c0 - m_numberMargin));
}

void CPhonebookList::resizeEvent(QResizeEvent* e) {
    QTreeWidget::resizeEvent(e);
    int c0 = columnWidth(0);
    setColumnWidth(1, std::max(40, viewport()->width() - c0 - m_numberMargin));
}

void CPhonebookList::showRows(const PhonebookRows& rows, int scrollTo) {
    m_applying = true;
    clear();
    QList<QTreeWidgetItem*> items;
    for (const PhonebookRow& r : rows.rows()) {
        auto* it = new QTreeWidgetItem({FromGbk(r.name), FromGbk(r.number)});
        it->setIcon(0, DeviceStripIcon(r.image));
        items.push_back(it);
    }
    addTopLevelItems(items);
    m_applying = false;
    showSelection(rows, scrollTo);
}

void CPhonebookList::showSelection(const PhonebookRows& rows, int scrollTo) {
    // Not by blocking the selection model's signals: the items keep their
    // selected state from them.
    m_applying = true;
    std::vector<int> wanted = rows.selected();
    clearSelection();
    for (int i : wanted)
        if (QTreeWidgetItem* it = topLevelItem(i)) it->setSelected(true);
    if (QTreeWidgetItem* it = topLevelItem(scrollTo)) {
        setCurrentItem(it, 0, QItemSelectionModel::NoUpdate);
        scrollToItem(it);
    }
    m_applying = false;
    viewport()->update();
}

void CPhonebookList::updateRow(int i, const PhonebookRow& row) {
    if (QTreeWidgetItem* it = topLevelItem(i)) {
        it->setText(0, FromGbk(row.name));
        it->setText(1, FromGbk(row.number));
    }
}

std::vector<int> CPhonebookList::selectedRows() const {
    std::vector<int> out;
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (topLevelItem(i)->isSelected()) out.push_back(i);
    return out;
}

void CPhonebookList::copySelection(PhonebookRows& rows) const {
    rows.clearSelection();
    for (int i : selectedRows()) rows.setSelected(i, true);
}

void CPhonebookList::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Delete) {
        emit deletePressed();
        return;
    }
    QTreeWidget::keyPressEvent(e);
}

}  // namespace msgdesk
