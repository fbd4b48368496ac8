// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/CLeftBoxView.h"

#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <QTreeWidget>

#include "store/CStoreIcons.h"

namespace msgdesk {

CLeftBoxView::CLeftBoxView(MailboxTree& tree, QWidget* parent)
    : QWidget(parent),
      m_core(tree),
      m_caption(new QLabel(QString::fromUtf8("列 表"), this)),
      m_pin(new QToolButton(this)),
      m_tree(new QTreeWidget(this)) {
    m_caption->setAutoFillBackground(true);
    m_caption->setFrameShape(QFrame::Panel);
    m_caption->setFrameShadow(QFrame::Raised);
    m_caption->setIndent(4);
    m_pin->setObjectName(QStringLiteral("1001"));
    m_pin->setAutoRaise(true);  // flat
    m_pin->setIcon(PinIcon());
    m_pin->setIconSize(QSize(16, 15));
    m_pin->setToolTip(QString::fromUtf8("点击按钮固定"));
    connect(m_pin, &QToolButton::clicked, this, [this] { m_core.onPinButton(); });

    m_tree->setObjectName(QStringLiteral("1002"));
    m_tree->header()->hide();
    m_tree->setColumnCount(1);
    m_tree->setRootIsDecorated(true);
    m_tree->setIconSize(QSize(16, 16));
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    const auto& items = MailboxTree::items();
    for (size_t i = 0; i < items.size(); ++i) {
        auto* it = i == 0 ? new QTreeWidgetItem(m_tree) : new QTreeWidgetItem(m_items[0]);
        it->setText(0, QString::fromUtf8(items[i].text.c_str()));
        // The same picture when selected: no tinted variant.
        QIcon icon;
        icon.addPixmap(StoreIcon(items[i].iconId()), QIcon::Normal);
        icon.addPixmap(StoreIcon(items[i].iconId()), QIcon::Selected);
        it->setIcon(0, icon);
        it->setData(0, Qt::UserRole, items[i].data);
        m_items.push_back(it);
    }
    m_items[0]->setExpanded(true);

    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* cur) {
        if (!m_syncing && cur) m_core.selectItem(indexOf(cur));
    });
    connect(m_tree, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { rightClicked(pos); });
    m_core.onSelectionChanged = [this](int index) {
        m_syncing = true;
        m_tree->setCurrentItem(item(index));
        m_syncing = false;
    };
}

CLeftBoxView::~CLeftBoxView() {
    m_core.onSelectionChanged = nullptr;
}

void CLeftBoxView::initialUpdate() {
    m_core.initialUpdate();
}

QTreeWidgetItem* CLeftBoxView::item(int index) const {
    return index >= 0 && index < static_cast<int>(m_items.size())
               ? m_items[static_cast<size_t>(index)]
               : nullptr;
}

int CLeftBoxView::indexOf(QTreeWidgetItem* item) const {
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i] == item) return static_cast<int>(i);
    return -1;
}

void CLeftBoxView::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    const int w = width();
    m_caption->setGeometry(0, 0, w, 19);
    m_pin->setGeometry(w - 18, 2, 16, 15);
    m_pin->raise();
    m_tree->setGeometry(0, 19, w, height() - 19);
}

QMenu* CLeftBoxView::createPopupMenu(int index) {
    std::vector<MenuItem> entries = m_core.rightClick(index);
    if (entries.empty()) return nullptr;
    auto* menu = new QMenu(this);
    for (const MenuItem& m : entries) {
        QAction* a = menu->addAction(QString::fromUtf8(m.text.c_str()));
        a->setData(m.id);
        a->setEnabled(m.enabled);
    }
    return menu;
}

void CLeftBoxView::rightClicked(const QPoint& pos) {
    QTreeWidgetItem* hit = m_tree->itemAt(pos);
    if (!hit) return;
    int index = indexOf(hit);
    unsigned cmd = 0;
    if (QMenu* menu = createPopupMenu(index)) {
        QAction* chosen = menu->exec(m_tree->viewport()->mapToGlobal(pos));
        if (chosen) cmd = chosen->data().toUInt();
        menu->deleteLater();
    }
    m_tree->setCurrentItem(hit);  // the right-click also chooses the item
    if (cmd) m_core.onCommand(cmd);
}

}  // namespace msgdesk
