// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QWidget>

#include "store/MailboxTree.h"

class QLabel;
class QMenu;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace msgdesk {

// The mailbox tree pane: the caption bar "列 表" with its pin button
// (control 1001) over the tree (control 1002) of the root and the five
// mailboxes. Choices go to MailboxTree, which decides what follows.
class CLeftBoxView final : public QWidget {
    Q_OBJECT
public:
    explicit CLeftBoxView(MailboxTree& tree, QWidget* parent = nullptr);
    ~CLeftBoxView() override;

    // Initial update: the items are in place; selects the InBox.
    void initialUpdate();

    QTreeWidget* tree() const { return m_tree; }
    QLabel* caption() const { return m_caption; }
    QToolButton* pinButton() const { return m_pin; }
    QTreeWidgetItem* item(int index) const;
    // The right-click menu for an item (nullptr when it has no entries).
    QMenu* createPopupMenu(int index);

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    int indexOf(QTreeWidgetItem* item) const;
    void rightClicked(const QPoint& pos);

    MailboxTree& m_core;
    QLabel* m_caption;
    QToolButton* m_pin;
    QTreeWidget* m_tree;
    std::vector<QTreeWidgetItem*> m_items;
    bool m_syncing = false;
};

}  // namespace msgdesk
