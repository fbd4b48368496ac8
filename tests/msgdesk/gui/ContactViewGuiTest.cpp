// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QTableView>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "ContactGuiSupport.h"
#include "FrameFixture.h"
#include "QtMessageLoop.h"
#include "contacts/CContactView.h"
#include "contacts/CPhonebookList.h"
#include "msgdesk/FakeDeviceLibrary.h"
#include "platform/Codepage.h"
#include "platform/Registry.h"
#include "shell/CMainFrame.h"
#include "shell/CMsgdeskApp.h"
#include "shell/MainFrameCore.h"
#include "store/CListMsgView.h"
#include "types/Commands.h"

using namespace msgdesk;
using msgdesk::test::FakeDeviceLibrary;
namespace fs = std::filesystem;

namespace {

const char* const kNames[20] = {"张伟", "王芳", "李娜", "刘洋", "陈静", "杨磊", "赵敏",
                                "黄强", "周杰", "吴霞", "徐涛", "孙丽", "马超", "朱琳",
                                "胡斌", "郭燕", "何平", "高峰", "林晓", "Alice"};

class ContactViewGui : public guitest::FrameFixture {
protected:
    ContactViewGui() : FrameFixture("contactgui") {}
    void SetUp() override {
        fs::create_directories(dir / "data");
        std::ofstream out(dir / "data" / "contact.db", std::ios::binary);
        for (int i = 0; i < 20; ++i) {
            ContactRecord r;
            r.setName(platform::codepage::utf8ToGbk(kNames[i]));
            r.setMobile("1390000" + std::to_string(1000 + i));
            out.write(reinterpret_cast<const char*>(&r), sizeof r);
        }
        out.close();
        startFrame();
        frame->resize(1000, 700);
        frame->show();
        QApplication::processEvents();
    }
    CPhonebookList* pane() const { return frame->contactView()->list(); }
    void clickRow(int i) {
        QTest::mouseClick(pane()->viewport(), Qt::LeftButton, {},
                          pane()->visualItemRect(pane()->topLevelItem(i)).center());
    }
    bool enabled(int id) {
        frame->updateCommandUI();
        return frame->action(id)->isEnabled();
    }
};

TEST_F(ContactViewGui, SelectionCommandsFollowTheActiveView) {
    ASSERT_EQ(pane()->topLevelItemCount(), 20);
    EXPECT_EQ(pane()->topLevelItem(0)->text(0), "Alice");  // Latin before GBK
    EXPECT_EQ(pane()->topLevelItem(1)->text(0), "陈静");   // B3C2, the lowest code here
    EXPECT_TRUE(enabled(cmd::AddContact));
    EXPECT_TRUE(enabled(cmd::LocalPhonebook));
    EXPECT_FALSE(enabled(cmd::DeleteContact));
    clickRow(3);
    EXPECT_TRUE(enabled(cmd::ChangeContact));
    EXPECT_TRUE(enabled(cmd::DeleteContact));
    EXPECT_TRUE(enabled(cmd::MoveToSim));
    QTest::mouseClick(pane()->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      pane()->visualItemRect(pane()->topLevelItem(5)).center());
    EXPECT_FALSE(enabled(cmd::ChangeContact));
    EXPECT_TRUE(enabled(cmd::DeleteContact));
    // A click into the message list: the pane is no longer the active view.
    QWidget* list = frame->list()->listView(InBox);
    QTest::mouseClick(list, Qt::LeftButton);
    list->setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(enabled(cmd::DeleteContact));
    EXPECT_FALSE(enabled(cmd::MoveToSim));
    EXPECT_FALSE(enabled(cmd::ChangeContact));
}

TEST_F(ContactViewGui, PopupOffersOnlyWhatTheSelectionAllows) {
    QMenu* popup = frame->contactView()->popup();
    auto item = [&](int id) {
        return popup->findChild<QAction*>(QStringLiteral("popup%1").arg(id));
    };
    pane()->clearSelection();
    emit pane()->customContextMenuRequested(QPoint(5, 5));
    EXPECT_TRUE(item(cmd::AddContactPopup)->isEnabled());
    EXPECT_FALSE(item(cmd::ChangeContact)->isEnabled());
    EXPECT_FALSE(item(cmd::DeleteContact)->isEnabled());
    EXPECT_FALSE(item(cmd::MoveToSim)->isEnabled());
    popup->hide();
    clickRow(2);
    emit pane()->customContextMenuRequested(QPoint(5, 5));
    EXPECT_TRUE(item(cmd::ChangeContact)->isEnabled());
    EXPECT_TRUE(item(cmd::MoveToSim)->isEnabled());
    popup->hide();
}

TEST_F(ContactViewGui, DeleteKeyRemovesTheSelectedContactsAfterAsking) {
    clickRow(4);
    QString next = pane()->topLevelItem(5)->text(0);
    boxes.answers = {platform::IDCANCEL};
    QTest::keyClick(pane(), Qt::Key_Delete);
    EXPECT_EQ(pane()->topLevelItemCount(), 20);
    QTest::keyClick(pane(), Qt::Key_Delete);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown.back().stringId, 60000u);
    EXPECT_EQ(pane()->topLevelItemCount(), 19);
    EXPECT_EQ(core->contacts().size(), 19u);
    EXPECT_EQ(pane()->selectedRows(), std::vector<int>{4});
    EXPECT_EQ(pane()->topLevelItem(4)->text(0), next);
    EXPECT_TRUE(pane()->hasFocus() || !QApplication::focusWidget());
}

TEST_F(ContactViewGui, MainWindowShowsTwentyContactsWhole) {
    clickRow(6);
    QApplication::processEvents();
    EXPECT_TRUE(contactgui::unnamedControls(frame->contactView()).isEmpty());
    // Every name fits its column.
    int need = 0;
    for (int i = 0; i < pane()->topLevelItemCount(); ++i)
        need = std::max(need,
                        pane()->fontMetrics().horizontalAdvance(pane()->topLevelItem(i)->text(0)));
    EXPECT_GE(pane()->columnWidth(0), need + 16 + 8);
    // The pane is not squeezed below what a whole number needs.
    EXPECT_GE(frame->contactView()->width(), frame->contactView()->minimumWidth());
    contactgui::keepScreenshot(frame.get(), "main-contacts-20");
}

}  // namespace
