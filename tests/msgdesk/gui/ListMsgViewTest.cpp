// SPDX-License-Identifier: GPL-3.0-or-later
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QTableView>

#include "StoreGuiSupport.h"
#include "device/WindowMessages.h"

using namespace msgdesk;
using namespace storegui;

TEST_F(StorePanes, FiveHiddenListsWithIdsCaptionsAndWidths) {
    for (int i = 0; i < kMailboxCount; ++i) {
        QTableView* v = listView->listView(static_cast<MailboxId>(i));
        EXPECT_EQ(v->objectName(), QString::number(1910 + i));
        EXPECT_TRUE(v->isHidden());
    }
    QTableView* in = listView->listView(InBox);
    auto* m = in->model();
    EXPECT_EQ(m->columnCount(), 8);
    EXPECT_EQ(m->headerData(1, Qt::Horizontal).toString(), QString::fromUtf8("号  码"));
    EXPECT_EQ(m->headerData(3, Qt::Horizontal).toString(), QString::fromUtf8("短  信  内  容"));
    EXPECT_TRUE(in->isColumnHidden(ColStatus));
    EXPECT_TRUE(in->isColumnHidden(ColAttempts));
    const int w = listView->columnBaseWidth();
    EXPECT_GT(w, 600);  // the view is 680 wide
    const int parts[] = {4, 14, 8, 24, 10, 8};
    int sum = 0;
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(in->columnWidth(c), w * parts[c] / 68) << c;
        sum += in->columnWidth(c);
    }
    list->ShowMailbox(InBox);
    QApplication::processEvents();
    EXPECT_LE(sum, in->viewport()->width()) << "no horizontal scroll bar for full columns";
}

TEST_F(StorePanes, ShowMailboxShowsOneListAndMirrorsTheSelection) {
    for (int i = 0; i < 5; ++i) store->AppendMessage(rec(std::to_string(i), "t"), SentBox);
    list->ShowMailbox(SentBox);
    QTableView* v = listView->listView(SentBox);
    EXPECT_FALSE(v->isHidden());
    EXPECT_TRUE(listView->listView(InBox)->isHidden());
    EXPECT_EQ(listView->currentView(), v);
    QModelIndexList rows = v->selectionModel()->selectedRows();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].row(), 4);

    // A user selection reaches core and the preview.
    v->selectionModel()->select(v->model()->index(1, 0),
                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    EXPECT_EQ(store->box(SentBox).selectedRows(), (std::vector<int>{1}));
    EXPECT_EQ(preview->number(), "1");
    v->selectionModel()->select(v->model()->index(3, 0),
                                QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(store->box(SentBox).selectedCount(), 2);
    EXPECT_EQ(preview->number(), "");

    list->ShowMailbox(512);
    EXPECT_EQ(listView->currentView(), nullptr);
    EXPECT_TRUE(v->isHidden());
}

TEST_F(StorePanes, UnreadRowsAreBoldAndClearAfterTheTimer) {
    store->AppendMessage(rec("1", "read"), InBox);
    store->AppendMessage(rec("2", "unread", "NEW"), InBox);
    list->ShowMailbox(InBox);  // selects the last, unread row
    auto* m = listView->listView(InBox)->model();
    EXPECT_FALSE(m->data(m->index(0, 1), Qt::FontRole).isValid());
    QFont bold = m->data(m->index(1, 1), Qt::FontRole).value<QFont>();
    EXPECT_GE(bold.weight(), QFont::DemiBold);
    EXPECT_FALSE(m->data(m->index(1, 0), Qt::FontRole).isValid()) << "the icon column has no text";
    EXPECT_FALSE(m->data(m->index(1, 0), Qt::DecorationRole).isNull());
    loop.advance(3000);
    EXPECT_FALSE(m->data(m->index(1, 1), Qt::FontRole).isValid());
}

TEST_F(StorePanes, HeaderClickSortsAndShowsTheArrow) {
    store->AppendMessage(rec("b", "t"), OutBox);
    store->AppendMessage(rec("a", "t"), OutBox);
    list->ShowMailbox(OutBox);
    QTableView* v = listView->listView(OutBox);
    emit v->horizontalHeader()->sectionClicked(ColNumber);
    auto* m = v->model();
    EXPECT_EQ(m->data(m->index(0, 1)).toString(), "a");
    EXPECT_TRUE(v->horizontalHeader()->isSortIndicatorShown());
    EXPECT_EQ(v->horizontalHeader()->sortIndicatorSection(), ColNumber);
    EXPECT_EQ(v->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
    // The selected message moved with its row.
    ASSERT_EQ(v->selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(v->selectionModel()->selectedRows()[0].row(), 0);
    emit v->horizontalHeader()->sectionClicked(ColNumber);
    EXPECT_EQ(m->data(m->index(0, 1)).toString(), "b");
    EXPECT_EQ(v->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
}

TEST_F(StorePanes, DeleteKeyMovesTheSelectionToTheDeleteBox) {
    store->AppendMessage(rec("x", "t"), SentBox);
    store->AppendMessage(rec("y", "t"), SentBox);
    list->ShowMailbox(SentBox);
    QTableView* v = listView->listView(SentBox);
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(v, &del);
    EXPECT_EQ(store->box(SentBox).size(), 1);
    EXPECT_EQ(store->box(DeleteBox).size(), 1);
    EXPECT_EQ(v->model()->rowCount(), 1);
    EXPECT_EQ(listView->listView(DeleteBox)->model()->rowCount(), 1);
    EXPECT_EQ(v->selectionModel()->selectedRows().size(), 1);
}

TEST_F(StorePanes, PopupItemsFollowTheSelection) {
    store->AppendMessage(rec("x", "t", "1"), DeleteBox);
    list->ShowMailbox(DeleteBox);
    std::unique_ptr<QMenu> menu(listView->createPopupMenu());
    QStringList texts;
    for (QAction* a : menu->actions())
        if (!a->isSeparator()) texts << a->text();
    EXPECT_EQ(texts,
              (QStringList{QString::fromUtf8("回  复 (&R)"), QString::fromUtf8("转  发 (&F)"),
                           QString::fromUtf8("全  选 (&A)"), QString::fromUtf8("删  除 (&D)"),
                           QString::fromUtf8("还  原 (&B)")}));
    EXPECT_TRUE(menu->actions()[0]->isEnabled());
    listView->listView(DeleteBox)->clearSelection();
    menu.reset(listView->createPopupMenu());
    EXPECT_EQ(menu->actions().size(), 5);
    EXPECT_FALSE(menu->actions()[0]->isEnabled());
    EXPECT_FALSE(menu->actions()[4]->isEnabled());
}

TEST_F(StorePanes, SelectAllCoversEveryRowOfALargeMailbox) {
    std::vector<MessageRecord> many(20000, rec("1", "t"));
    store->AppendMessages(many, InBox);
    list->ShowMailbox(InBox);
    list->onCommand(ID_MSG_SELECTALL);
    QTableView* v = listView->listView(InBox);
    EXPECT_EQ(v->selectionModel()->selection().size(), 1);  // one range, not 20 000
    EXPECT_TRUE(v->selectionModel()->isRowSelected(19999, {}));
    EXPECT_EQ(store->box(InBox).selectedCount(), 20000);
}
