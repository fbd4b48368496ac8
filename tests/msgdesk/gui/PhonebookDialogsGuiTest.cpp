// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>

#include "ContactGuiSupport.h"
#include "contacts/CContactEditDlg.h"
#include "contacts/CContactInfoDlg.h"
#include "contacts/CDeviceChoiceDlg.h"
#include "contacts/CLocalPhonebookDlg.h"
#include "contacts/CPhonebookList.h"
#include "contacts/CPhonebookPickerDlg.h"
#include "contacts/CSimContactEditDlg.h"
#include "contacts/CSimContactInfoDlg.h"
#include "contacts/CSimPhonebookDlg.h"
#include "msgdesk/contacts/PhonebookModelSupport.h"

using namespace msgdesk;
using namespace contacts_test;
using namespace contactgui;

namespace {

// The button a screen reader announces as accessible; fails the test
// when there is none.
QPushButton* button(QWidget* w, const QString& accessible) {
    for (QPushButton* b : w->findChildren<QPushButton*>())
        if (b->accessibleName() == accessible) return b;
    ADD_FAILURE() << "no button " << accessible.toStdString();
    static QPushButton none;
    return &none;
}

struct Phonebooks : ::testing::Test {
    PhonebookBench b;
    void SetUp() override {
        storegui::ensureApp();
        b.add("Wang", "13900000001");
        b.add("李四", "13900000002");
        b.add("wanda", "13900000003");
        b.devices.attached = 2;
        b.devices.cards[1] = {10, 2, true};
        b.devices.cards[2] = {10, 1, true};
        addSimEntry(b.sims, 1, 1, "10086", gbk("客服"));
        addSimEntry(b.sims, 1, 2, "13800000001", "Bob");
        addSimEntry(b.sims, 2, 1, "13800000002", gbk("张三"));
    }
};

TEST_F(Phonebooks, LocalManagerFindsByPrefixAndEnterNeverClosesIt) {
    CLocalPhonebookDlg dlg(b.services);
    dlg.show();
    EXPECT_TRUE(unnamedControls(&dlg).isEmpty()) << unnamedControls(&dlg).join(", ").toStdString();
    EXPECT_FALSE(button(&dlg, "修改(M)")->isEnabled());
    EXPECT_FALSE(button(&dlg, "存入SIM卡")->isEnabled());
    QTest::keyClicks(dlg.findEdit(), "WAN");
    EXPECT_EQ(dlg.list()->selectedRows(), std::vector<int>{0});  // Wang, wanda, 李四
    EXPECT_TRUE(button(&dlg, "修改(M)")->isEnabled());
    QTest::keyClick(dlg.findEdit(), Qt::Key_Return);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), 0);
    // An unmatched text: 60004, the text stays selected for the next key.
    QTest::keyClicks(dlg.findEdit(), "x");
    EXPECT_EQ(b.shownIds(), std::vector<unsigned>{60004});
    EXPECT_EQ(dlg.findEdit()->selectedText(), "WANx");
    EXPECT_TRUE(dlg.list()->selectedRows().empty());
    EXPECT_FALSE(button(&dlg, "删除(D)")->isEnabled());

    // The Delete key in the list deletes the selection after 60000.
    dlg.list()->topLevelItem(2)->setSelected(true);
    QTest::keyClick(dlg.list(), Qt::Key_Delete);
    EXPECT_EQ(b.book.size(), 2u);
    EXPECT_EQ(dlg.list()->topLevelItemCount(), 2);
}

TEST_F(Phonebooks, SimManagerRemovesAnUnmatchedTextAndFollowsTheCard) {
    CSimPhonebookDlg dlg(b.services);
    dlg.show();
    EXPECT_TRUE(unnamedControls(&dlg).isEmpty()) << unnamedControls(&dlg).join(", ").toStdString();
    EXPECT_EQ(dlg.deviceList()->count(), 3);
    EXPECT_EQ(dlg.deviceList()->currentText(), "全部");
    ASSERT_EQ(dlg.list()->topLevelItemCount(), 3);
    QTest::keyClicks(dlg.findEdit(), "bo");
    EXPECT_EQ(dlg.list()->selectedRows(), std::vector<int>{0});
    QTest::keyClick(dlg.findEdit(), Qt::Key_Enter);
    EXPECT_TRUE(dlg.isVisible());
    QTest::keyClicks(dlg.findEdit(), "z");
    EXPECT_EQ(b.shownIds(), std::vector<unsigned>{60004});
    EXPECT_EQ(dlg.findEdit()->text(), "");

    dlg.deviceList()->setCurrentIndex(2);
    ASSERT_EQ(dlg.list()->topLevelItemCount(), 1);
    EXPECT_EQ(dlg.list()->topLevelItem(0)->text(0), "张三");
    // The card confirmed a delete: the row goes, the position stays.
    dlg.deviceList()->setCurrentIndex(0);
    dlg.list()->topLevelItem(2)->setSelected(true);
    b.sims.RemoveEntry(b.sims.list(1)[0].get());
    dlg.onFrameMessage(platform::Message{UM_SIMENTRYDONE, 0, 0, nullptr});
    ASSERT_EQ(dlg.list()->topLevelItemCount(), 2);
    EXPECT_EQ(dlg.list()->selectedRows(), std::vector<int>{1});
    // A device gone: its entries are freed, the refresh rebuilds the rows.
    b.sims.ClearSimPhonebook(2);
    dlg.onFrameMessage(platform::Message{UM_REFRESHVIEWS, 228, 0, nullptr});
    ASSERT_EQ(dlg.list()->topLevelItemCount(), 1);
    dlg.onFrameMessage(platform::Message{UM_REFRESHVIEWS, 227, 0, nullptr});  // not the lists
    addSimEntry(b.sims, 2, 1, "13800000002", gbk("张三"));
    ASSERT_EQ(dlg.list()->topLevelItemCount(), 1);
    dlg.onFrameMessage(platform::Message{UM_SIMENTRYDONE, 0, 0, nullptr});
    ASSERT_EQ(dlg.list()->topLevelItemCount(), 2);
    dlg.list()->clearSelection();
    dlg.list()->topLevelItem(1)->setSelected(true);
    EXPECT_TRUE(button(&dlg, "导出到电脑(E)")->isEnabled());
    button(&dlg, "导出到电脑(E)")->click();
    EXPECT_EQ(b.book.size(), 4u);
}

TEST_F(Phonebooks, PickerRefusesOkWithoutSelectionAndReturnsTheNumber) {
    CPhonebookPickerDlg dlg(b.book, b.sims, 2, nullptr, &b.box);
    dlg.show();
    EXPECT_TRUE(dlg.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(unnamedControls(&dlg).isEmpty()) << unnamedControls(&dlg).join(", ").toStdString();
    EXPECT_EQ(dlg.list()->topLevelItemCount(), 3);
    // Enter is 确定: with no row selected it says so and the picker stays.
    QTest::keyClick(dlg.findEdit(), Qt::Key_Return);
    EXPECT_EQ(b.shownIds(), std::vector<unsigned>{60062});
    EXPECT_TRUE(dlg.isVisible());
    dlg.simBox()->setChecked(true);
    EXPECT_EQ(dlg.list()->topLevelItemCount(), 6);
    dlg.findEdit()->insert("张");  // as an input method commits it
    QTest::keyClick(dlg.findEdit(), Qt::Key_Enter);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.number(), "13800000002");
    EXPECT_EQ(dlg.name(), gbk("张三"));
    CPhonebookPickerDlg noDevice(b.book, b.sims, 0, nullptr, &b.box);
    EXPECT_TRUE(noDevice.simBox()->isEnabled());
}

TEST_F(Phonebooks, ContactEditTakesOnlyWhatTheRecordHoldsAndValidatesOnOk) {
    CContactEditDlg dlg(b.book, b.box, ContactEditMode::Add, ContactRecord{});
    dlg.show();
    EXPECT_TRUE(unnamedControls(&dlg).isEmpty()) << unnamedControls(&dlg).join(", ").toStdString();
    QLineEdit* name = dlg.field(ContactField::Name);
    QLineEdit* mobile = dlg.field(ContactField::Mobile);
    EXPECT_EQ(name->accessibleName(), "联系人");
    EXPECT_EQ(mobile->accessibleName(), "手机号码");
    name->insert("一二三四五六七八九十");  // 20 bytes: the last that fits
    QTest::keyClicks(name, "a");
    name->insert("十");
    EXPECT_EQ(name->text(), "一二三四五六七八九十");
    QTest::keyClicks(mobile, "a");
    EXPECT_EQ(mobile->text(), "");
    QTest::keyClicks(mobile, "+86");
    EXPECT_EQ(mobile->text(), "+86");
    QLineEdit* address = dlg.field(ContactField::HomeAddress);
    address->insert(QString(15, QChar(0x4E00)));  // 30 bytes
    address->insert(QString(1, QChar(0x4E00)));
    EXPECT_EQ(address->text().size(), 15);
    address->clear();
    address->insert(QString(16, QChar(0x4E00)));  // a paste past the limit: refused whole
    EXPECT_EQ(address->text(), "");

    mobile->clear();
    button(&dlg, "确定")->click();
    EXPECT_EQ(b.shownIds(), std::vector<unsigned>{60003});
    EXPECT_TRUE(dlg.isVisible());
    QTest::keyClicks(mobile, "13900000001");  // already in the book
    button(&dlg, "确定")->click();
    EXPECT_EQ(b.shownIds(), (std::vector<unsigned>{60003, 60074}));
    mobile->setText("13900000009");
    button(&dlg, "确定")->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.record().mobile(), "13900000009");
    EXPECT_EQ(dlg.record().name(), gbk("一二三四五六七八九十"));
}

TEST_F(Phonebooks, SimEntryDialogFixesDeviceAndPositionWhenChanging) {
    CSimContactEditDlg change(2, SimEntryInput{2, 7, "Bob", "123"}, true, b.box);
    EXPECT_EQ(change.deviceList()->currentText(), "Zunto[2]");
    EXPECT_FALSE(change.deviceList()->isEnabled());
    EXPECT_FALSE(change.indexEdit()->isEnabled());
    EXPECT_TRUE(unnamedControls(&change).isEmpty());

    CSimContactEditDlg add(2, SimEntryInput{}, false, b.box);
    add.show();
    EXPECT_EQ(add.deviceList()->currentIndex(), 0);
    add.indexEdit()->clear();
    QTest::keyClicks(add.numberEdit(), "10010");
    button(&add, "确定")->click();
    EXPECT_TRUE(add.isVisible());  // no whole number in 位置
    EXPECT_EQ(b.box.shown.back().text, "请输入一个整数。");
    QTest::keyClicks(add.indexEdit(), "3");
    add.deviceList()->setCurrentIndex(1);
    button(&add, "确定")->click();
    EXPECT_EQ(add.result(), QDialog::Accepted);
    EXPECT_EQ(add.input().device, 2);
    EXPECT_EQ(add.input().number, "10010");
}

TEST_F(Phonebooks, EveryDialogNamesItsControlsAndShowsItsTextsWhole) {
    ContactRecord full = contact(gbk("欧阳明月"), "13912345678");
    full.setField(ContactField::HomeAddress, gbk("北京市海淀区中关村大街二十七号院"));
    full.setField(ContactField::Email, "ouyang@example.com");
    CContactEditDlg edit(b.book, b.box, ContactEditMode::Change, full);
    CSimContactEditDlg simEdit(2, SimEntryInput{1, 3, gbk("客服热线"), "10086"}, false, b.box);
    CDeviceChoiceDlg choice(2);
    CLocalPhonebookDlg local(b.services);
    CSimPhonebookDlg sim(b.services);
    CContactInfoDlg info(full);
    CSimContactInfoDlg simInfo(*b.sims.list(2)[0]);
    CPhonebookPickerDlg picker(b.book, b.sims, 2, nullptr, &b.box);
    EXPECT_EQ(info.windowTitle(), "欧阳明月属性");
    EXPECT_EQ(simInfo.windowTitle(), "张三属性");
    const std::pair<QDialog*, const char*> all[] = {
        {&edit, "dlg181-contact-edit"},      {&simEdit, "dlg185-sim-entry-edit"},
        {&choice, "dlg191-device-choice"},   {&local, "dlg201-local-phonebook"},
        {&sim, "dlg202-sim-phonebook"},      {&info, "dlg203-contact-info"},
        {&simInfo, "dlg204-sim-entry-info"}, {&picker, "dlg265-phonebook-picker"}};
    for (auto& [dlg, name] : all) {
        dlg->show();
        QApplication::processEvents();
        EXPECT_TRUE(unnamedControls(dlg).isEmpty())
            << name << ": " << unnamedControls(dlg).join(", ").toStdString();
        EXPECT_TRUE(clippedTexts(dlg).isEmpty())
            << name << ": " << clippedTexts(dlg).join(", ").toStdString();
        keepScreenshot(dlg, name);
    }
}

}  // namespace
