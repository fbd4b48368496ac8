// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include "StoreGuiSupport.h"
#include "widgets/CDeviceIcons.h"
#include "widgets/CPhoneEdit.h"

using msgdesk::CPhoneEdit;

TEST(PhoneEdit, TypingDropsWhatIsNotADialCharacter) {
    storegui::ensureApp();
    CPhoneEdit edit;
    QTest::keyClicks(&edit, "a");
    EXPECT_EQ(edit.text(), "");
    QTest::keyClicks(&edit, "+86 1-3a9*#");
    EXPECT_EQ(edit.text(), "+86139*#");
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), "+86139*");
}

TEST(PhoneEdit, PasteIsTakenWholeOrRefusedWhole) {
    storegui::ensureApp();
    CPhoneEdit edit;
    QApplication::clipboard()->setText("12a3");
    edit.paste();
    EXPECT_EQ(edit.text(), "");
    QApplication::clipboard()->setText("+8613900000000");
    edit.paste();
    EXPECT_EQ(edit.text(), "+8613900000000");
    QApplication::clipboard()->setText("１２");  // full-width digits are not dial characters
    edit.paste();
    EXPECT_EQ(edit.text(), "+8613900000000");
}

TEST(DeviceStrip, ImagesZeroToSixteenOnly) {
    storegui::ensureApp();
    EXPECT_FALSE(msgdesk::DeviceStripIcon(0).isNull());
    EXPECT_FALSE(msgdesk::DeviceStripIcon(16).isNull());
    EXPECT_TRUE(msgdesk::DeviceStripIcon(-1).isNull());
    EXPECT_TRUE(msgdesk::DeviceStripIcon(17).isNull());
}
