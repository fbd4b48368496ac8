// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>
#include <map>

#include "StoreGuiSupport.h"
#include "compose/CSimMessageDlg.h"
#include "compose/SimMessageModel.h"
#include "contacts/CSettingsDlg.h"
#include "contacts/CSimInfoDlg.h"
#include "contacts/PropertiesModel.h"
#include "contacts/SimInfoModel.h"
#include "device/WindowMessages.h"
#include "platform/Codepage.h"
#include "platform/ManualMessageLoop.h"
#include "store/SimMessageCache.h"
#include "types/Settings.h"

using namespace msgdesk;

namespace {

bool insideItemView(QWidget* w) {
    for (QWidget* p = w->parentWidget(); p; p = p->parentWidget())
        if (qobject_cast<QAbstractItemView*>(p)) return true;
    return false;
}

// Every control a user or screen reader reaches has a name (the parts of a
// list, its headers and editors, belong to the list).
void expectNamedControls(QWidget* dlg) {
    for (QWidget* w : dlg->findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
                             qobject_cast<QAbstractItemView*>(w) ||
                             (qobject_cast<QLabel*>(w) && !w->objectName().isEmpty());
        if (control && !insideItemView(w))
            EXPECT_FALSE(w->accessibleName().isEmpty())
                << w->metaObject()->className() << " " << w->objectName().toStdString();
    }
}

QPoint cellCentre(QTableWidget* t, int row, int column) {
    return t->visualRect(t->model()->index(row, column)).center();
}

MessageRecord simRecord(int device, int index, const std::string& number) {
    MessageRecord r = storegui::rec(number, "text " + number);
    r.Icon = device;
    r.setStatus(std::to_string(index) + "/" + std::to_string(device));
    return r;
}

class SimMessageDlgTest : public ::testing::Test {
protected:
    SimMessageCache cache;
    std::vector<MessageRecord> viewed;
    int asked = 0;
    std::vector<unsigned> sent;
    void SetUp() override {
        storegui::ensureApp();
        cache.AddSimMessage(simRecord(1, 1, "1001"));
        cache.AddSimMessage(simRecord(2, 1, "2001"));
        cache.AddSimMessage(simRecord(2, 2, "2002"));
    }
    SimMessageModel::Ports ports() {
        SimMessageModel::Ports p;
        p.sendToFrame = [this](const platform::Message& m) {
            sent.push_back(m.msg);
            return std::intptr_t{0};
        };
        p.askKeep = [this] {
            ++asked;
            return 2;
        };
        p.openView = [this](const MessageRecord& r, const std::string&) {
            viewed.push_back(r);
            return 2;
        };
        return p;
    }
};

TEST_F(SimMessageDlgTest, TheFilterListsOneDeviceAndEnterViewsWithoutClosing) {
    SimMessageModel model(cache, 2, ports());
    CSimMessageDlg dlg(model);
    dlg.show();
    expectNamedControls(&dlg);
    EXPECT_EQ(dlg.list()->rowCount(), 3);
    EXPECT_EQ(dlg.count()->text(), QString::fromUtf8("3 条"));
    // Sorting as the message list does: the arrow shows on column 0, and
    // a first click there sorts it descending.
    QHeaderView* header = dlg.list()->horizontalHeader();
    EXPECT_TRUE(header->isSortIndicatorShown());
    EXPECT_EQ(header->sortIndicatorSection(), 0);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(0) + 5, header->height() / 2));
    EXPECT_EQ(model.sortColumn(), 0);
    EXPECT_FALSE(model.sortAscending());
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
    ASSERT_EQ(dlg.filter()->count(), 3);
    dlg.filter()->setCurrentIndex(2);
    EXPECT_EQ(dlg.list()->rowCount(), 2);
    EXPECT_EQ(dlg.count()->text(), QString::fromUtf8("2 条"));
    EXPECT_EQ(dlg.list()->item(1, 1)->text(), QStringLiteral("2002"));
    EXPECT_FALSE(dlg.button(1077)->isEnabled());

    QTest::mouseClick(dlg.list()->viewport(), Qt::LeftButton, {}, cellCentre(dlg.list(), 1, 1));
    EXPECT_TRUE(dlg.button(1077)->isEnabled());
    EXPECT_TRUE(dlg.button(1078)->isEnabled());
    dlg.list()->setFocus();
    QTest::keyClick(dlg.list(), Qt::Key_Return);
    ASSERT_EQ(viewed.size(), 1u);
    EXPECT_EQ(viewed[0].number(), "2002");
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), 0);

    // Delete asks the keep question once; cancel sends nothing.
    QTest::keyClick(dlg.list(), Qt::Key_Delete);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(sent.empty());
    // Two rows: view, reply and forward go off, delete and export stay.
    QTest::mouseClick(dlg.list()->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      cellCentre(dlg.list(), 0, 1));
    EXPECT_FALSE(dlg.button(1077)->isEnabled());
    EXPECT_FALSE(dlg.button(1044)->isEnabled());
    EXPECT_TRUE(dlg.button(1079)->isEnabled());
    QTest::mouseClick(dlg.button(1079), Qt::LeftButton);
    EXPECT_EQ(sent.size(), 2u);
    // A confirmation lists again and keeps the first selected position.
    cache.RemoveSimMessageByKey("1/2");
    model.onMessage(platform::Message{UM_SIMMESSAGES, 0, 0, nullptr});
    EXPECT_EQ(dlg.list()->rowCount(), 1);
    EXPECT_EQ(dlg.list()->selectionModel()->selectedRows().size(), 1);
}

class SettingsDlgTest : public ::testing::Test {
protected:
    Settings settings;
    platform::ScriptedMessageBox boxes;
    std::map<int, std::string> centre{{1, "+8613800100500"}, {2, "+8613800200500"}};
    std::map<int, bool> read{{1, true}, {2, true}};
    void SetUp() override { storegui::ensureApp(); }
    PropertiesModel::Devices devices() {
        return {[] { return 2; },
                [this](int d) { return centre[d]; },
                [this](int d) { return read[d]; },
                {}};
    }
    // Double-clicks the row's number, types text and ends with the key.
    static void editRow(CSettingsDlg& dlg, int row, const QString& text, Qt::Key end) {
        QTableWidget* t = dlg.centres();
        // Qt's test double-click is only the second click: press once first.
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, cellCentre(t, row, 0));
        QTest::mouseDClick(t->viewport(), Qt::LeftButton, {}, cellCentre(t, row, 0));
        QLineEdit* editor = nullptr;
        for (QLineEdit* e : t->findChildren<QLineEdit*>())
            if (e->isVisible()) editor = e;
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, end);
        QApplication::processEvents();
    }
};

TEST_F(SettingsDlgTest, InPlaceEditingAcceptsAValidNumberAndNoRestoresADoubtfulOne) {
    PropertiesModel model(settings, devices(), boxes);
    CSettingsDlg dlg(model);
    dlg.show();
    expectNamedControls(&dlg);
    EXPECT_EQ(dlg.resend()->currentText(), QStringLiteral("5"));
    EXPECT_EQ(dlg.centres()->item(1, 1)->text(), QStringLiteral("Zunto[2]"));

    editRow(dlg, 0, QStringLiteral("+8613800210500"), Qt::Key_Return);
    EXPECT_EQ(model.rows()[0].number, "+8613800210500");
    EXPECT_TRUE(model.modified());
    EXPECT_TRUE(boxes.shown.empty());

    boxes.answers = {platform::IDNO};
    editRow(dlg, 1, QStringLiteral("138 00"), Qt::Key_Return);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].stringId, 60052u);
    EXPECT_EQ(dlg.centres()->item(1, 0)->text(), QStringLiteral("+8613800200500"));

    // Escape cancels the edit: the row keeps its number.
    editRow(dlg, 1, QStringLiteral("10086"), Qt::Key_Escape);
    EXPECT_EQ(model.rows()[1].number, "+8613800200500");
    EXPECT_TRUE(dlg.isVisible());

    dlg.resend()->setCurrentIndex(19);
    dlg.keepCopy()->setChecked(true);
    model.writeTo(settings);
    EXPECT_EQ(settings.Resend, 20);
    EXPECT_EQ(settings.SaveInCard, 1);
}

TEST_F(SettingsDlgTest, AnUnreadCentreDisablesTheListUntilSimReady) {
    centre[2] = "";
    read[2] = false;
    PropertiesModel model(settings, devices(), boxes);
    CSettingsDlg dlg(model);
    dlg.show();
    EXPECT_FALSE(dlg.centres()->isEnabled());
    EXPECT_EQ(dlg.centres()->item(1, 0)->text(), QString::fromUtf8("正在初始化..."));
    centre[2] = "+8613800200500";
    read[2] = true;
    model.onMessage(platform::Message{UM_SIMREADY, 0, 0, nullptr});
    EXPECT_TRUE(dlg.centres()->isEnabled());
    EXPECT_EQ(dlg.centres()->item(1, 0)->text(), QStringLiteral("+8613800200500"));
}

TEST(SimInfoDlgTest, TheFullCardBlinksUntilAClickInTheTree) {
    storegui::ensureApp();
    platform::ManualMessageLoop loop;
    DeviceSnapshot s;
    s.deviceCount = 2;
    s.devices[1] = {250, 12, 50, 3};
    s.devices[2] = {250, 0, 50, 50};
    SimInfoModel model(loop, s);
    CSimInfoDlg dlg(model);
    dlg.show();
    expectNamedControls(&dlg);
    QTreeWidget* tree = dlg.tree();
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    EXPECT_TRUE(tree->topLevelItem(0)->isExpanded());
    EXPECT_EQ(tree->topLevelItem(0)->child(0)->text(0),
              QString::fromUtf8("电话簿空间(250个)，已用(12个)， 空闲(238个)"));
    loop.advance(500);
    EXPECT_TRUE(tree->selectedItems().isEmpty());
    loop.advance(500);
    ASSERT_EQ(tree->selectedItems().size(), 1);
    EXPECT_EQ(tree->selectedItems()[0], tree->topLevelItem(1));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                      tree->visualItemRect(tree->topLevelItem(0)).center());
    EXPECT_FALSE(model.blinking());
    const auto selected = tree->selectedItems();
    loop.advance(2000);
    EXPECT_EQ(tree->selectedItems(), selected);
}

}  // namespace
