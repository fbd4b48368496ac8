// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "../WanmateTestSupport.h"
#include "../WanmateWindowFixture.h"
#include "CIpAddressCtrl.h"
#include "CWanmateDlg.h"
#include "platform/ManualMessageLoop.h"
#include "platform/MessageBox.h"
#include "platform/XdgAutostart.h"

namespace wanmate {
namespace {

template <class W>
W* byName(QWidget* root, const char* accessibleName) {
    for (W* w : root->findChildren<W*>())
        if (w->accessibleName() == QString::fromUtf8(accessibleName)) return w;
    return nullptr;
}

// Types as a user does: each key goes to whichever field has the focus.
void typeAt(QLineEdit* first, const char* keys) {
    first->window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(first->window()));
    first->setFocus();
    first->selectAll();
    for (const char* k = keys; *k; ++k) {
        QWidget* w = QApplication::focusWidget();
        QTest::keyClick(w ? w : first, *k);
    }
}

// Keys with text beyond ASCII, as an input method delivers them.
void typeText(QWidget* w, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
    }
}

TEST(CIpAddressCtrl, ADotOrAFourthDigitMovesToTheNextField) {
    test::ensureApp();
    CIpAddressCtrl ctrl("DNS");
    ctrl.show();
    EXPECT_EQ(ctrl.address(), 0u);
    typeAt(ctrl.field(0), "10.0.0.1");
    EXPECT_EQ(ctrl.address(), 0x0A000001u);

    ctrl.setAddress(0);
    typeAt(ctrl.field(0), "1921681");
    EXPECT_EQ(ctrl.field(1)->text(), "168");
    EXPECT_EQ(ctrl.field(2)->text(), "1");
    EXPECT_EQ(ctrl.address(), 0xC0A80100u);

    // Backspace at the start of a field goes back; Right at its end goes on.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    EXPECT_EQ(QApplication::focusWidget(), ctrl.field(1));
    EXPECT_EQ(ctrl.field(1)->text(), "168");
    EXPECT_EQ(ctrl.field(2)->text(), "");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(QApplication::focusWidget(), ctrl.field(2));
}

TEST(CIpAddressCtrl, EachFieldKeepsWithinZeroTo255) {
    test::ensureApp();
    CIpAddressCtrl ctrl("DNS");
    ctrl.show();
    for (int i = 0; i < 4; ++i) ctrl.field(i)->clear();
    EXPECT_EQ(ctrl.address(), 0u) << "empty fields count as 0";
    QTest::keyClicks(ctrl.field(0), "255");
    EXPECT_EQ(ctrl.field(0)->text(), "255");
    QTest::keyClicks(ctrl.field(3), "256");
    EXPECT_EQ(ctrl.field(3)->text(), "255");
    QTest::keyClicks(ctrl.field(3), "9x");
    EXPECT_EQ(ctrl.field(3)->text(), "255") << "the last field takes no fourth digit";
    EXPECT_EQ(ctrl.address(), 0xFF0000FFu);
    ctrl.setAddress(0x01020304);
    EXPECT_EQ(ctrl.field(0)->text(), "1");
    EXPECT_EQ(ctrl.field(3)->text(), "4");
}

class WanmateDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ensureApp();
        setenv("XDG_CONFIG_HOME", (dir.path() / "cfg").c_str(), 1);
        dlg = std::make_unique<CWanmateDlg>(
            WanmateServices{loop, reg, usb, version, autostart, box, "/usr/local/bin/wanmate"});
        ASSERT_TRUE(dlg->initialise());
        dlg->show();
    }

    test::TempDir dir;
    test::FaultyRegistry reg{dir.path()};
    platform::usb::SysfsUsbHost usb{dir.path() / "sys"};
    platform::ManualMessageLoop loop;
    platform::HostVersion version;
    platform::XdgAutostart autostart{"wanmate", "KelvoZunto"};
    platform::ScriptedMessageBox box;
    std::unique_ptr<CWanmateDlg> dlg;
};

TEST_F(WanmateDlgTest, EveryControlHasAnAccessibleName) {
    EXPECT_EQ(dlg->windowTitle(), QString::fromUtf8("KelvoZunto设置区"));
    int controls = 0;
    for (QWidget* w : dlg->findChildren<QWidget*>()) {
        bool control = qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
                       qobject_cast<QAbstractButton*>(w);
        if (!control) continue;
        ++controls;
        EXPECT_FALSE(w->accessibleName().isEmpty()) << w->metaObject()->className();
    }
    EXPECT_EQ(controls,
              4 + 1 + 2 + 2 + 3);  // address fields, edit, combo + its edit, boxes, buttons
    auto* picture = dlg->findChild<QLabel*>("bmp139");
    ASSERT_TRUE(picture);
    EXPECT_FALSE(picture->pixmap().isNull());
}

TEST_F(WanmateDlgTest, ApplySavesWhatWasTypedAndDefaultsThenHideSaveNothing) {
    auto* number = byName<QComboBox>(dlg.get(), "拨号号码：");
    auto* init = byName<QLineEdit>(dlg.get(), "预先指令：");
    auto* autorun = byName<QCheckBox>(dlg.get(), "系统启动后，自动运行");
    auto* dns = byName<CIpAddressCtrl>(dlg.get(), "指定DNS：");
    ASSERT_TRUE(number && init && autorun && dns);
    EXPECT_EQ(number->count(), 2);
    EXPECT_EQ(number->currentText(), "*99#");
    EXPECT_EQ(init->text(), "AT+CGDCONT=1,\"IP\",\"CMNET\"");

    number->setCurrentIndex(1);
    init->selectAll();
    QTest::keyClicks(init, "ATZ");
    typeAt(dns->field(0), "8.8.4.4");
    autorun->setChecked(true);
    QTest::mouseClick(byName<QPushButton>(dlg.get(), "设置"), Qt::LeftButton);

    EXPECT_EQ(reg.user.getString(kSettingsKey, "Phone number"), "*99***1#");
    EXPECT_EQ(reg.user.getString(kSettingsKey, "Init Command"), "ATZ");
    EXPECT_EQ(reg.user.getDword(kSettingsKey, "IP address"), 0x08080404u);
    EXPECT_EQ(reg.user.getString(kRunKey, kRunValue), "/usr/local/bin/wanmate");
    EXPECT_TRUE(autostart.present());
    EXPECT_TRUE(dlg->isVisible()) << "the dialog stays open";

    std::string saved = test::slurp(reg.user.file());
    autorun->setChecked(false);
    QTest::mouseClick(byName<QPushButton>(dlg.get(), "默认值"), Qt::LeftButton);
    EXPECT_EQ(number->currentText(), "*99#");
    EXPECT_EQ(init->text(), "AT+CGDCONT=1,\"IP\",\"CMNET\"");
    EXPECT_EQ(dns->address(), 0u);
    EXPECT_TRUE(autorun->isChecked()) << "back to the last applied state";
    QTest::mouseClick(byName<QPushButton>(dlg.get(), "隐藏"), Qt::LeftButton);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(test::slurp(reg.user.file()), saved);
}

TEST_F(WanmateDlgTest, TextsStopAtTheirByteLimits) {
    auto* init = byName<QLineEdit>(dlg.get(), "预先指令：");
    auto* number = byName<QComboBox>(dlg.get(), "拨号号码：");
    init->clear();
    QTest::keyClicks(init, QString(60, 'A'));
    EXPECT_EQ(init->text().size(), 49);
    init->clear();
    typeText(init, QString::fromUtf8("中").repeated(25));
    EXPECT_EQ(init->text().size(), 24) << "24 characters of two bytes, the 25th would be byte 50";
    QTest::keyClicks(init, "A");
    EXPECT_EQ(init->text().size(), 25);
    number->clearEditText();
    QTest::keyClicks(number->lineEdit(), QString(25, '1'));
    EXPECT_EQ(number->currentText().size(), 19);
}

}  // namespace
}  // namespace wanmate
