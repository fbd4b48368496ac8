// SPDX-License-Identifier: GPL-3.0-or-later
#include <QPlainTextEdit>
#include <QTableView>
#include <QTreeWidget>

#include "StoreGuiSupport.h"
#include "platform/Codepage.h"

using namespace msgdesk;
using namespace storegui;

TEST_F(StorePanes, PreviewStartsWithSampleAndShowHandlesNulls) {
    CMsgPreview p;
    EXPECT_EQ(p.number().size(), 11);
    EXPECT_EQ(p.edit()->toPlainText(), QString::fromUtf8(PreviewContent::placeholderUtf8()));
    EXPECT_TRUE(p.edit()->isReadOnly());
    EXPECT_EQ(p.edit()->objectName(), "1003");
    EXPECT_EQ(p.edit()->palette().color(QPalette::Base), QColor(255, 255, 225));
    EXPECT_EQ(p.captionFont().weight(), QFont::Bold);
    EXPECT_LE(QFontMetrics(p.bodyFont()).height(), 30);

    std::string gbk = platform::codepage::utf8ToGbk("你好");
    p.Show("139", gbk.c_str());
    EXPECT_EQ(p.number(), "139");
    EXPECT_EQ(p.edit()->toPlainText(), QString::fromUtf8("你好"));
    p.Show(nullptr, nullptr);
    EXPECT_EQ(p.number(), "");
    EXPECT_EQ(p.edit()->toPlainText(), QString::fromUtf8(PreviewContent::placeholderUtf8()));
    p.resize(300, 200);
    p.show();
    EXPECT_EQ(p.edit()->geometry().topLeft(), QPoint(16, 46));
    EXPECT_EQ(p.edit()->width(), 284);
}

TEST_F(StorePanes, ChangingMailboxEmptiesThePreview) {
    store->AppendMessage(rec("555", "hello"), InBox);
    boxView->initialUpdate();
    EXPECT_EQ(preview->number(), "555");
    EXPECT_EQ(preview->edit()->toPlainText(), "hello");
    boxView->tree()->setCurrentItem(boxView->item(2));  // empty OutBox
    EXPECT_EQ(preview->number(), "");
    EXPECT_EQ(preview->edit()->toPlainText(), "");  // empty, not the placeholder
}
