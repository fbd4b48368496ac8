// SPDX-License-Identifier: GPL-3.0-or-later
// The phone window over its core, through its real widgets; and the main
// frame showing it. PHONE_SCREENSHOT_DIR=/dir keeps the idle, ringing and
// in-call pictures.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <filesystem>

#include "QtMessageLoop.h"
#include "modlink.h"
#include "msgdesk/FakeDeviceLibrary.h"
#include "msgdesk/phone/PhoneFixture.h"
#include "phone/CPhoneButton.h"
#include "phone/CPhoneDlg.h"
#include "platform/Registry.h"
#include "shell/CMainFrame.h"
#include "shell/CMsgdeskApp.h"
#include "shell/MainFrameCore.h"
#include "types/Commands.h"

using namespace msgdesk;
using namespace msgdesk::phone;
namespace fs = std::filesystem;

namespace {

void ensureApp() {
    static int argc = 1;
    static char name[] = "msgdesk_gui_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
    static bool res = [] {
        InitMsgdeskResources();
        return true;
    }();
    (void)res;
}

class PhoneDlgGui : public ::testing::Test {
protected:
    platform::ManualMessageLoop loop;
    platform::ScriptedMessageBox boxes;
    test::PhoneFrame frame;
    std::unique_ptr<PhoneDialogCore> core;
    std::unique_ptr<CPhoneDlg> dlg;

    void SetUp() override {
        ensureApp();
        loop.clock().setLocal({2026, 12, 7, 9, 30, 6});
        PhoneDialogCore::Ports p;
        p.frame = &frame;
        p.linkActive = [] { return true; };
        p.deviceCount = [] { return 2; };
        p.deviceAttached = [](int) { return true; };
        p.changed = [this](PhoneDialogCore::Field f) {
            if (dlg) dlg->refresh(f);
        };
        core = std::make_unique<PhoneDialogCore>(loop, loop.clock(), boxes, std::move(p), 40);
        dlg = std::make_unique<CPhoneDlg>([this] { return core.get(); });
        dlg->show();
        loop.advance(1000);
    }
    void click(int id) { QTest::mouseClick(dlg->button(id), Qt::LeftButton); }
    void callNotify(platform::WPARAM w, const char* caller = "") {
        loop.send(core.get(),
                  platform::Message{UM_CALLNOTIFY, w, reinterpret_cast<platform::LPARAM>(caller),
                                    nullptr});
    }
    void shot(const char* name) {
        QApplication::processEvents();
        QImage img = dlg->grab().toImage();
        ASSERT_FALSE(img.isNull());
        if (const char* d = std::getenv("PHONE_SCREENSHOT_DIR"))
            EXPECT_TRUE(img.save(QString::fromUtf8(d) + "/" + name));
    }
};

TEST_F(PhoneDlgGui, EveryControlIsNamedAndTheWindowStaysOnTop) {
    EXPECT_TRUE(dlg->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(dlg->windowTitle(), QString::fromUtf8("KelvoZunto短信中心"));
    int named = 0;
    for (QWidget* w : dlg->findChildren<QWidget*>()) {
        if (!qobject_cast<QAbstractButton*>(w) && !qobject_cast<QLabel*>(w) &&
            !qobject_cast<QProgressBar*>(w))
            continue;
        EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
        ++named;
    }
    // Buttons, cells, fields and picture, the number as one text, volume bar.
    EXPECT_EQ(named, 24 + 15 + 4 + 1 + 1);
    EXPECT_EQ(dlg->button(IDC_DIAL)->toolTip(), QString::fromUtf8("拨打电话/接听来电"));
    EXPECT_EQ(dlg->button(IDC_HIDE)->toolTip(), QString::fromUtf8("隐藏"));
    EXPECT_FALSE(dlg->button(IDC_QUERY_IN)->isVisible());
    EXPECT_EQ(dlg->deviceField()->text(), "01");
    EXPECT_EQ(dlg->clockField()->text(), "09:30:07");
    EXPECT_EQ(dlg->volumeBar()->value(), 40);
    shot("phone-idle.png");
}

// What a screen reader hears of the display: each field's value is what
// it shows, the digit cells read as one number, and a change of status is
// announced.
TEST_F(PhoneDlgGui, AScreenReaderReadsTheDisplayAndHearsTheStatusChange) {
    auto value = [](QWidget* w) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        return a ? a->text(QAccessible::Value) : QStringLiteral("<none>");
    };
    std::vector<QString> announced;
    QObject::connect(dlg.get(), &CPhoneDlg::statusAnnounced,
                     [&](const QString& s) { announced.push_back(s); });
    EXPECT_EQ(value(dlg->deviceField()), QStringLiteral("01"));
    EXPECT_EQ(value(dlg->clockField()), QStringLiteral("09:30:07"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(dlg->statusField())->text(QAccessible::Name),
              QString::fromUtf8("状态"));
    for (char c : std::string("10086")) core->key(c);
    EXPECT_EQ(value(dlg->numberField()), QStringLiteral("10086"));
    callNotify(2, "13912345678");
    EXPECT_EQ(value(dlg->statusField()), QString::fromUtf8("来电"));
    EXPECT_EQ(value(dlg->deviceField()), QStringLiteral("02"));
    EXPECT_EQ(value(dlg->numberField()), QStringLiteral("13912345678"));
    callNotify(18);
    EXPECT_EQ(value(dlg->statusField()), QString::fromUtf8("已挂机"));
    EXPECT_EQ(value(dlg->numberField()), QStringLiteral("00:00:00"));
    // The blanks written between two words are not announced.
    EXPECT_EQ(announced,
              (std::vector<QString>{QString::fromUtf8("来电"), QString::fromUtf8("已挂机")}));
}

TEST_F(PhoneDlgGui, PadKeysAndKeyboardReachTheCore) {
    click(1044);  // "1"
    click(1099);  // "0"
    QTest::keyClick(dlg.get(), Qt::Key_0);
    QTest::keyClick(dlg.get(), Qt::Key_8, Qt::KeypadModifier);
    QTest::keyClick(dlg.get(), Qt::Key_6);
    EXPECT_EQ(core->digits(), "10086");
    EXPECT_EQ(dlg->cellPictureId(1113), 806);
    EXPECT_EQ(dlg->cellPictureId(1117), 801);
    EXPECT_EQ(dlg->cellPictureId(1118), IDB_CELL_EMPTY);
    click(1098);  // "*" without a call: nothing
    EXPECT_TRUE(frame.commands.empty());
    QTest::keyClick(dlg.get(), Qt::Key_Backspace);
    EXPECT_EQ(core->digits(), "1008");
    QTest::keyClick(dlg.get(), Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(dlg->volumeBar()->value(), 50);
    QTest::keyClick(dlg.get(), Qt::Key_Plus);  // the main keyboard's plus is no volume key
    EXPECT_EQ(core->volume(), 50);
    QTest::keyClick(dlg.get(), Qt::Key_Return);
    EXPECT_EQ(frame.commands.back().op, OP_DIALUP);
    EXPECT_EQ(frame.commands.back().req.numberText(), "1008");
    QTest::keyClick(dlg.get(), Qt::Key_Escape);  // clears and hangs up; the window stays
    EXPECT_EQ(frame.commands.back().op, OP_UNATTACH);
    EXPECT_TRUE(core->digits().empty());
    EXPECT_TRUE(dlg->isVisible());
}

TEST_F(PhoneDlgGui, PickerButtonHideAndBackspaceDoubleClick) {
    EXPECT_FALSE(dlg->button(IDC_PHONEBOOK)->isEnabled());
    dlg->setPicker([](std::string& n) {
        n = "+8613912345678";
        return true;
    });
    ASSERT_TRUE(dlg->button(IDC_PHONEBOOK)->isEnabled());
    click(IDC_PHONEBOOK);
    EXPECT_EQ(dlg->cellPictureId(1126), IDB_CELL_PLUS);
    EXPECT_EQ(dlg->cellPictureId(1127), IDB_CELL_EMPTY);
    QTest::mouseDClick(dlg->button(IDC_BACKSPACE), Qt::LeftButton);
    EXPECT_TRUE(core->digits().empty());

    click(IDC_HIDE);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_FALSE(core->clockRunning());
    dlg->showAndRaise();
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_TRUE(core->clockRunning());
}

TEST_F(PhoneDlgGui, RingingAndInACall) {
    callNotify(1, "13912345678");
    loop.advance(1000);
    EXPECT_EQ(dlg->ringPictureId(), 702);
    EXPECT_EQ(dlg->statusField()->text(), QString::fromUtf8("来电        "));
    shot("phone-ringing.png");
    click(IDC_DIAL);
    EXPECT_EQ(frame.commands.back().op, OP_ATTACH);
    loop.send(core.get(), UM_PHONERESULT, OP_ATTACH, RESULT_OK);
    loop.advance(65000);
    EXPECT_EQ(dlg->clockField()->text(), "00:01:05");
    EXPECT_EQ(dlg->ringPictureId(), 700);
    EXPECT_EQ(dlg->statusField()->text(), QString::fromUtf8("已接通    "));
    shot("phone-in-call.png");
}

// The main frame creates the window hidden and shows it for the phone
// command and for an incoming call.
TEST(PhoneInMainFrame, ThePhoneCommandAndAnIncomingCallShowTheWindow) {
    ensureApp();
    const fs::path dir = fs::temp_directory_path() / ("phonegui-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    platform::QtMessageLoop loop(qApp);
    platform::SystemClock clock;
    platform::ScriptedMessageBox boxes;
    test::FakeDeviceLibrary fake;
    DeviceLibrary table = fake.table();
    platform::RegistryStore reg(dir / "user.reg");
    fake.setDeviceCount(1);
    {
        MainFrameCore core(MainFrameCore::Services{loop, clock, boxes, reg,
                                                   (dir / "g.html").string(), dir, &table});
        ASSERT_TRUE(core.create());
        CMainFrame frame(core);
        frame.show();
        auto waitFor = [](const std::function<bool()>& cond) {
            QElapsedTimer t;
            t.start();
            while (!cond() && t.elapsed() < 3000)
                QApplication::processEvents(QEventLoop::AllEvents, 20);
            return cond();
        };
        ASSERT_TRUE(waitFor([&] { return core.link().linkActive(); }));
        CPhoneDlg* dlg = frame.phoneDialog();
        ASSERT_NE(dlg, nullptr);
        EXPECT_FALSE(dlg->isVisible());
        frame.action(cmd::Phone)->trigger();
        EXPECT_TRUE(dlg->isVisible());
        QTest::mouseClick(dlg->button(IDC_HIDE), Qt::LeftButton);
        EXPECT_FALSE(dlg->isVisible());
        fake.fire(MODLINK_EV_INCOMING_CALL, "13912345678", 1);
        ASSERT_TRUE(waitFor([&] { return dlg->isVisible() && core.phone()->ringing(); }));
        EXPECT_TRUE(core.ringAnimation().running());
        EXPECT_TRUE(core.phone()->clockRunning());
        ASSERT_TRUE(waitFor([&] { return dlg->ringPictureId() != 700; }));
        fake.fire(MODLINK_EV_CALL_ENDED, nullptr, 1);
        ASSERT_TRUE(waitFor([&] { return !core.phone()->ringing(); }));
        EXPECT_EQ(dlg->statusField()->text(), QString::fromUtf8("已挂机    "));
        bool closed = false;
        core.close([&] { closed = true; });
        ASSERT_TRUE(waitFor([&] { return closed; }));
        dlg->refreshAll();  // the core's phone is gone: nothing to draw, no fault
    }
    fs::remove_all(dir);
}

}  // namespace
