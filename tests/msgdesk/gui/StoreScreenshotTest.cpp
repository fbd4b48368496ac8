// SPDX-License-Identifier: GPL-3.0-or-later
#include <QImage>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include "StoreGuiSupport.h"
#include "platform/Codepage.h"

using namespace msgdesk;
using namespace storegui;

// The three panes laid out as the main view splits its area, with a few
// hundred InBox messages, some unread. Set STORE_SCREENSHOT=/path.png to keep
// the picture.
TEST_F(StorePanes, RendersTheMainViewWithAFullInBox) {
    const char* bodies[] = {"今晚七点在老地方见，别迟到。", "您的快递已到达小区门口，请尽快领取。",
                            "会议改到明天上午十点，地点不变。", "生日快乐！祝你天天开心。",
                            "收到请回复，谢谢。"};
    const char* names[] = {"张三", "李四", "王五", "", "赵六"};
    for (int i = 0; i < 300; ++i) {
        MessageRecord r =
            rec("139" + std::to_string(10000000 + i * 7919 % 9000000),
                platform::codepage::utf8ToGbk(bodies[i % 5]), i % 7 == 3 ? "NEW" : "");
        r.setContact(platform::codepage::utf8ToGbk(names[i % 5]));
        r.setDate("2003-02-" + std::to_string(10 + i % 18));
        char t[16];
        std::snprintf(t, sizeof t, "%02d:%02d:%02d", 8 + i % 12, i % 60, (i * 13) % 60);
        r.setTime(t);
        store->AppendMessage(r, InBox);
    }

    QWidget window;
    auto* split = new QSplitter(Qt::Horizontal, &window);
    auto* left = new QSplitter(Qt::Vertical, split);
    auto* right = new QSplitter(Qt::Vertical, split);
    boxView->setParent(left);
    auto* contacts = new QWidget(left);  // the contact pane's place
    contacts->setAutoFillBackground(true);
    listView->setParent(right);
    preview->setParent(right);
    left->setSizes({200, 400});
    right->setSizes({300, 300});
    split->setSizes({175, 825});
    auto* lay = new QVBoxLayout(&window);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(split);
    window.resize(1000, 600);
    window.show();
    boxView->initialUpdate();
    QTableView* in = listView->listView(InBox);
    in->selectionModel()->select(in->model()->index(290, 0),
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    in->scrollTo(in->model()->index(299, 0));
    QApplication::processEvents();

    QImage shot = window.grab().toImage();
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(preview->number().toStdString(), store->box(InBox).row(290).rec.number());
    // The preview's text area is the light yellow.
    QPoint inEdit = preview->edit()->viewport()->mapTo(&window, QPoint(5, 5));
    EXPECT_EQ(shot.pixelColor(inEdit), QColor(255, 255, 225));
    if (const char* path = std::getenv("STORE_SCREENSHOT")) {
        EXPECT_TRUE(shot.save(path));
    }

    // The panes belong to the fixture; hand them back before the window goes.
    for (QWidget* w : {static_cast<QWidget*>(boxView.get()), static_cast<QWidget*>(listView.get()),
                       static_cast<QWidget*>(preview.get())})
        w->setParent(nullptr);
}
