// SPDX-License-Identifier: GPL-3.0-or-later
// Delivery reports and the service query through the real windows, the
// real library and simulated modems: the properties dialog's check box, a
// sent message marked delivered, and the USSD menu *100# answered with 1.
// With SCREENSHOT_DIR set, the three windows are saved there.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <functional>

#include "QtMessageLoop.h"
#include "SimFrameFixture.h"
#include "contacts/CSettingsDlg.h"
#include "msgdesk/store/StoreTestSupport.h"
#include "phone/CUssdDlg.h"
#include "phone/UssdModel.h"
#include "platform/Codepage.h"
#include "platform/Registry.h"
#include "shell/CMainFrame.h"
#include "shell/CMsgPreview.h"
#include "shell/MainFrameCore.h"
#include "store/CLeftBoxView.h"
#include "store/CListMsgView.h"
#include "store/MailboxFiles.h"
#include "types/Commands.h"

using namespace msgdesk;
namespace fs = std::filesystem;

namespace {

using msgdesk::guitest::waitFor;

void saveShot(QWidget& w, const char* name) {
    if (const char* dir = std::getenv("SCREENSHOT_DIR"))
        w.grab().save(QString::fromUtf8(dir) + "/" + QString::fromUtf8(name));
}

template <class W>
W* child(QWidget& parent, const char* accessibleName) {
    for (W* w : parent.findChildren<W*>())
        if (w->accessibleName() == QString::fromUtf8(accessibleName)) return w;
    return nullptr;
}

class ReportsUssdOnModems : public guitest::SimFrameFixture {
protected:
    ReportsUssdOnModems() : SimFrameFixture("reportsgui") {}
    void start() {
        startOnSims(1, {"--report-delay", "200"});
        if (HasFatalFailure()) return;
        ASSERT_TRUE(waitFor([&] { return core->commandEnabled(cmd::SimMessages); }, 30000));
        frame->updateCommandUI();
    }
    // Runs inside on the modal dialog of type D that the command opens.
    template <class D>
    void runDialog(int command, std::function<void(D&)> inside) {
        bool ran = false;
        QTimer::singleShot(100, [&] {
            if (auto* dlg = qobject_cast<D*>(QApplication::activeModalWidget())) {
                inside(*dlg);
                ran = true;
            }
        });
        frame->action(command)->trigger();
        EXPECT_TRUE(ran);
    }
    void setReports(bool on) {
        runDialog<CSettingsDlg>(cmd::Settings, [&](CSettingsDlg& dlg) {
            QCheckBox* box = child<QCheckBox>(dlg, "要求送达报告");
            ASSERT_NE(box, nullptr);
            if (box->isChecked() != on) box->click();
            EXPECT_EQ(box->isChecked(), on);
            if (on) saveShot(dlg, "properties-reports.png");
            QPushButton* ok = child<QPushButton>(dlg, "确定(O)");
            ASSERT_NE(ok, nullptr);
            QTest::mouseClick(ok, Qt::LeftButton);
        });
    }
    std::string sidecar() {
        const fs::path p = DeliveryReports::pathFor(MailboxFilePath(dir, SentBox));
        return fs::exists(p) ? storetest::readFile(p) : std::string();
    }
    void sendOne(const std::string& number) {
        const int before = core->store().box(SentBox).size();
        core->sendPump().appendComposed({storetest::rec(number, "hello")});
        ASSERT_TRUE(
            waitFor([&] { return core->store().box(SentBox).size() == before + 1; }, 15000));
    }
};

TEST_F(ReportsUssdOnModems, TickedSentMessageIsMarkedDeliveredAndUntickedStaysPlain) {
    start();
    if (HasFatalFailure()) return;
    setReports(true);
    EXPECT_EQ(reg->getDword(std::string(Settings::kProfileKey) + "\\Settings", "StatusReport"),
              std::optional<uint32_t>(1));
    sendOne("13912345678");
    ASSERT_TRUE(waitFor([&] { return sidecar().find("已送达") != std::string::npos; }, 10000))
        << sidecar();

    // Opened as a user does: a click on 已发短信箱 in the tree.
    QTreeWidget* tree = frame->tree()->tree();
    QList<QTreeWidgetItem*> found =
        tree->findItems(QString::fromUtf8("已发短信箱"), Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(found.size(), 1);
    tree->setCurrentItem(found.front());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                      tree->visualItemRect(found.front()).center());
    ASSERT_TRUE(waitFor([&] { return core->messageList().current() == SentBox; }, 3000));
    QApplication::processEvents();
    QTableView* view = frame->list()->listView(SentBox);
    const QModelIndex number = view->model()->index(0, ColNumber);
    EXPECT_EQ(view->model()->data(number, Qt::ForegroundRole).value<QColor>(), QColor(0, 0x80, 0));
    EXPECT_TRUE(view->model()
                    ->data(number, Qt::ToolTipRole)
                    .toString()
                    .startsWith(QString::fromUtf8("送达报告：已送达 ")));
    EXPECT_TRUE(frame->preview()->body().contains(QString::fromUtf8("送达报告：已送达 ")))
        << frame->preview()->body().toStdString();

    // Unticked: the next message asks for nothing and is kept as before.
    setReports(false);
    sendOne("13912345679");
    QTest::qWait(800);  // four report delays
    EXPECT_EQ(sidecar().find("13912345679"), std::string::npos) << sidecar();
    const QModelIndex plain = view->model()->index(1, ColNumber);
    EXPECT_FALSE(view->model()->data(plain, Qt::ForegroundRole).isValid());
    // The delivered row green above the plain one, which is selected.
    view->selectRow(1);
    QApplication::processEvents();
    EXPECT_FALSE(frame->preview()->body().contains(QString::fromUtf8("送达报告")));
    saveShot(*frame, "sentbox-delivered.png");
}

TEST_F(ReportsUssdOnModems, UssdMenuAskedWithStar100AnsweredWithOne) {
    start();
    if (HasFatalFailure()) return;
    std::string menu, balance, status;
    runDialog<CUssdDlg>(cmd::UssdQuery, [&](CUssdDlg& dlg) {
        QLineEdit* code = child<QLineEdit>(dlg, "代码");
        QPushButton* send = child<QPushButton>(dlg, "发送");
        QPlainTextEdit* answer = child<QPlainTextEdit>(dlg, "回复");
        ASSERT_TRUE(code && send && answer);
        EXPECT_TRUE(answer->isReadOnly());
        EXPECT_FALSE(send->isEnabled());  // nothing typed yet
        QTest::keyClicks(code, "*100#");
        QTest::mouseClick(send, Qt::LeftButton);
        waitFor([&] { return answer->toPlainText().contains("Data left"); }, 10000);
        menu = answer->toPlainText().toStdString();
        QTest::keyClicks(code, "1");
        QTest::keyClick(code, Qt::Key_Return);  // 发送 is the default button
        waitFor([&] { return answer->toPlainText().contains("CNY"); }, 10000);
        balance = answer->toPlainText().toStdString();
        status = dlg.statusLine()->text().toStdString();
        saveShot(dlg, "ussd.png");
        QTest::mouseClick(child<QPushButton>(dlg, "结束"), Qt::LeftButton);
    });
    EXPECT_EQ(menu, "1 Balance\n2 Data left");
    EXPECT_EQ(balance, "Balance: 25.30 CNY");
    EXPECT_EQ(status, "查询完成。");
    // The code is offered again next time; the reply "1" is not.
    EXPECT_EQ(reg->getString(std::string(Settings::kProfileKey) + "\\Settings", "UssdCode"),
              std::optional<std::string>("*100#"));
}

}  // namespace

namespace {

TEST(UssdDialog, SeveralDevicesOfferAChoiceAndAnOldLibrarySaysItCannot) {
    msgdesk::guitest::app();
    std::vector<int> used;
    UssdModel::Ports p;
    p.send = [&](int d, const std::string&) {
        used.push_back(d);
        return 7;
    };
    p.cancel = [](int) { return 8; };
    UssdModel two(2, "*100#", p);
    CUssdDlg dlg(two);
    dlg.show();
    QComboBox* device = child<QComboBox>(dlg, "设备");
    ASSERT_NE(device, nullptr);
    ASSERT_EQ(device->count(), 2);
    EXPECT_EQ(device->itemText(1), QStringLiteral("Zunto[2]"));
    device->setCurrentIndex(1);
    QTest::mouseClick(dlg.sendButton(), Qt::LeftButton);
    EXPECT_EQ(used, std::vector<int>{2});
    EXPECT_FALSE(device->isEnabled());  // not while the answer is due
    saveShot(dlg, "ussd-two-devices.png");

    UssdModel old(1, "", UssdModel::Ports{});
    CUssdDlg oldDlg(old);
    EXPECT_EQ(child<QComboBox>(oldDlg, "设备"), nullptr);  // one device: no choice
    EXPECT_FALSE(oldDlg.sendButton()->isEnabled());
    EXPECT_FALSE(oldDlg.codeField()->isEnabled());
    EXPECT_EQ(oldDlg.statusLine()->text(), QString::fromUtf8("当前的设备库不支持业务查询(USSD)。"));
}

}  // namespace
