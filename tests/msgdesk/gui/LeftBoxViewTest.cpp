// SPDX-License-Identifier: GPL-3.0-or-later
#include <QLabel>
#include <QMenu>
#include <QTableView>
#include <QToolButton>
#include <QTreeWidget>

#include "StoreGuiSupport.h"
#include "device/WindowMessages.h"

using namespace msgdesk;
using namespace storegui;

TEST_F(StorePanes, TreeHoldsRootAndFiveMailboxesWithTheirData) {
    QTreeWidget* t = boxView->tree();
    EXPECT_EQ(t->objectName(), "1002");
    EXPECT_EQ(boxView->caption()->text(), QString::fromUtf8("列 表"));
    ASSERT_EQ(t->topLevelItemCount(), 1);
    QTreeWidgetItem* root = t->topLevelItem(0);
    EXPECT_EQ(root->text(0), QString::fromUtf8("Kelvo短信息信箱"));
    EXPECT_EQ(root->data(0, Qt::UserRole).toInt(), 512);
    EXPECT_TRUE(root->isExpanded());
    ASSERT_EQ(root->childCount(), 5);
    EXPECT_EQ(root->child(4)->text(0), QString::fromUtf8("已删除短信箱"));
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(root->child(i)->data(0, Qt::UserRole).toInt(), i);
        EXPECT_FALSE(root->child(i)->icon(0).isNull());
    }
}

TEST_F(StorePanes, InitialUpdateAndSelectionShowTheMailboxAndCount) {
    store->AppendMessage(rec("1", "a", "NEW"), InBox);
    posted.clear();
    boxView->initialUpdate();
    EXPECT_EQ(boxView->tree()->currentItem(), boxView->item(1));
    EXPECT_EQ(listView->currentView(), listView->listView(InBox));
    EXPECT_EQ(countPosted(UM_STATUSPANE, PANE_MAILBOX, 1), 1);
    EXPECT_EQ(list->countText(), "收短信箱 (1条信息) / (1条新)");

    boxView->tree()->setCurrentItem(boxView->item(3));  // the user picks the SentBox
    EXPECT_EQ(list->current(), SentBox);
    EXPECT_EQ(preview->number(), "");
    EXPECT_EQ(countPosted(UM_STATUSPANE, PANE_MAILBOX, 1), 2);

    boxView->tree()->setCurrentItem(boxView->item(0));  // the root: welcome text
    EXPECT_EQ(listView->currentView(), nullptr);
    EXPECT_EQ(countPosted(UM_STATUSPANE, PANE_MAILBOX, 2), 1);
}

TEST_F(StorePanes, EmptyEntryOnlyOnTheDeleteBoxAndPinButtonPostsToTheHolder) {
    std::unique_ptr<QMenu> none(boxView->createPopupMenu(3));
    EXPECT_EQ(none, nullptr);
    std::unique_ptr<QMenu> menu(boxView->createPopupMenu(5));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions()[0]->text(), QString::fromUtf8("清 空(&E)"));
    EXPECT_EQ(menu->actions()[0]->data().toUInt(), 30303u);

    boxView->resize(175, 200);
    EXPECT_EQ(boxView->pinButton()->geometry(), QRect(157, 2, 16, 15));
    EXPECT_EQ(boxView->tree()->geometry(), QRect(0, 19, 175, 181));
    boxView->pinButton()->click();
    ASSERT_EQ(toHolder.size(), 1u);
    EXPECT_EQ(toHolder[0].msg, 1124u);
}

TEST_F(StorePanes, RightClickOnAnItemWithoutEntriesOnlySelectsIt) {
    boxView->initialUpdate();
    QTreeWidget* t = boxView->tree();
    QPoint onSentBox = t->visualItemRect(boxView->item(3)).center();
    emit t->customContextMenuRequested(onSentBox);
    EXPECT_EQ(t->currentItem(), boxView->item(3));
    EXPECT_EQ(list->current(), SentBox);
    EXPECT_EQ(tree->lastRightClicked(), 3);
}
