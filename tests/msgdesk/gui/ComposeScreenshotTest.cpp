// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "StoreGuiSupport.h"
#include "compose/CComposeDlg.h"
#include "compose/CComposeTextEdit.h"
#include "compose/CMessageViewDlg.h"
#include "compose/ComposeSession.h"
#include "platform/Codepage.h"
#include "shell/CMsgdeskApp.h"

using namespace msgdesk;
using platform::codepage::utf8ToGbk;

// Both dialogs as a user sees them: compose with a contact, a SIM entry and
// a typed number as recipients and a half-typed text with its count; the
// message view of a received message. COMPOSE_SCREENSHOT_DIR=/dir keeps
// compose.png and message-view.png there.
TEST(ComposeScreenshots, RenderBothDialogs) {
    storegui::ensureApp();
    InitMsgdeskResources();
    ContactBook book;
    const char* contacts[][2] = {{"张三", "13900000001"},
                                 {"李四", "13900000002"},
                                 {"王小明", "13900000003"},
                                 {"赵六", "13900000004"},
                                 {"Alice", "13900000005"}};
    for (auto& c : contacts) {
        auto r = NewContactRecord();
        r->setName(utf8ToGbk(c[0]));
        r->setMobile(c[1]);
        book.AddContact(std::move(r));
    }
    SimPhonebook sims;
    const char* entries[][2] = {{"公司前台", "02188886666"}, {"孙七", "13700000007"}};
    int index = 1;
    for (auto& e : entries) {
        auto s = std::make_unique<SimPhoneEntry>();
        s->device = index;
        s->index = index++;
        s->setName(utf8ToGbk(e[0]));
        s->setNumber(e[1]);
        sims.AppendSimEntry(std::move(s));
    }
    platform::ScriptedMessageBox boxes;
    ComposeRequest req;
    req.mode = 1;
    req.text = "13900000001";
    ComposeSession session(book, sims, req, boxes);
    CComposeDlg dlg(session);
    dlg.show();
    QTest::mouseClick(dlg.findChild<QCheckBox*>(QStringLiteral("1052")), Qt::LeftButton);
    QTreeWidget* pb = dlg.phonebookList();
    for (int i = 0; i < pb->topLevelItemCount(); ++i)
        if (pb->topLevelItem(i)->text(0) == QString::fromUtf8("孙七"))
            pb->topLevelItem(i)->setSelected(true);
    dlg.findChild<QPushButton*>(QStringLiteral("1007"))->click();
    dlg.findChild<QLineEdit*>(QStringLiteral("1006"))->setText(QStringLiteral("+8613812345678"));
    dlg.textEdit()->setPlainText(QString::fromUtf8("今晚七点在老地方见，记得带上"));
    ASSERT_EQ(dlg.recipientList()->topLevelItemCount(), 2);
    EXPECT_EQ(dlg.countLabel()->text(), "28/140");
    QApplication::processEvents();
    QImage compose = dlg.grab().toImage();
    ASSERT_FALSE(compose.isNull());

    MessageRecord rec;
    rec.setNumber("13900000001");
    rec.setContact(utf8ToGbk("张三"));
    rec.setDate("2026-12-07");
    rec.setTime("09:30:07");
    rec.setText(
        utf8ToGbk("您好！明天上午十点的会议改在三楼会议室，请带上上次的资料。收到请回复，谢谢。"));
    CMessageViewDlg view(rec);
    view.show();
    QApplication::processEvents();
    QImage viewShot = view.grab().toImage();
    ASSERT_FALSE(viewShot.isNull());
    // The text area is the pale yellow.
    const QPoint inText = view.textField()->mapTo(
        &view, QPoint(view.textField()->width() - 30, view.textField()->height() - 8));
    EXPECT_EQ(viewShot.pixelColor(inText * viewShot.devicePixelRatio()), QColor(255, 255, 225));

    // A joined long message: the view shows all of it, past the row's 160 bytes.
    MessageRecord bank;
    bank.setNumber("95588");
    bank.setDate("2026-12-07");
    bank.setTime("08:15:42");
    const std::string whole = utf8ToGbk(
        "【工商银行】尊敬的客户：您尾号6218的储蓄卡于12月7日08:15在网上银行转出人民币"
        "12,500.00元，余额为人民币38,214.67元。如非本人操作，请立即拨打95588冻结账户。"
        "为保障资金安全，请勿向任何人透露验证码、密码等信息，本行工作人员不会以任何理由"
        "向您索取。本月起网上银行转账手续费全免，详情请咨询网点或登录官方网站查询。");
    bank.setText(whole);
    ASSERT_LT(bank.text().size(), whole.size());
    CMessageViewDlg longView(bank, nullptr, whole);
    longView.show();
    QApplication::processEvents();
    EXPECT_EQ(longView.textField()->toPlainText().toStdString(),
              platform::codepage::gbkToUtf8(whole));
    QImage longShot = longView.grab().toImage();
    ASSERT_FALSE(longShot.isNull());

    if (const char* dir = std::getenv("COMPOSE_SCREENSHOT_DIR")) {
        compose.save(QString::fromUtf8(dir) + QStringLiteral("/compose.png"));
        viewShot.save(QString::fromUtf8(dir) + QStringLiteral("/message-view.png"));
        longShot.save(QString::fromUtf8(dir) + QStringLiteral("/long-message-view.png"));
    }
}
