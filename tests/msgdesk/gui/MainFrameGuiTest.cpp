#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "QtMessageLoop.h"
#include "msgdesk/FakeDeviceLibrary.h"
#include "phone/CPhoneButton.h"
#include "phone/CPhoneDlg.h"
#include "phone/PhoneIds.h"
#include "platform/Registry.h"
#include "shell/CMainFrame.h"
#include "shell/CMsgdeskApp.h"
#include "shell/CStatusBar.h"
#include "shell/Commands.h"
#include "shell/MainFrameCore.h"

using namespace msgdesk;
using msgdesk::test::FakeDeviceLibrary;
namespace fs = std::filesystem;

namespace {

int argc = 1;
char arg0[] = "msgdesk_gui_tests";
char* argv[] = {arg0, nullptr};

QApplication& app() {
    static bool resources = false;
    if (!QApplication::instance()) new QApplication(argc, argv);
    if (!resources) InitMsgdeskResources();
    resources = true;
    return *qApp;
}

bool waitFor(const std::function<bool()>& cond, int ms = 3000) {
    QElapsedTimer t;
    t.start();
    while (!cond() && t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
    return cond();
}

class MainFrameGui : public ::testing::Test {
protected:
    fs::path dir = fs::temp_directory_path() / ("framegui-" + std::to_string(::getpid()));
    platform::QtMessageLoop* loop = nullptr;
    platform::SystemClock clock;
    platform::ScriptedMessageBox boxes;
    FakeDeviceLibrary fake;
    DeviceLibrary table = fake.table();
    std::unique_ptr<platform::RegistryStore> reg;
    std::unique_ptr<MainFrameCore> core;
    std::unique_ptr<CMainFrame> frame;

    void SetUp() override {
        app();
        fs::create_directories(dir);
        loop = new platform::QtMessageLoop(&app());
        reg = std::make_unique<platform::RegistryStore>(dir / "user.reg");
        fake.setDeviceCount(1);
        core = std::make_unique<MainFrameCore>(MainFrameCore::Services{
            *loop, clock, boxes, *reg, (dir / "guide.html").string(), dir, &table});
        ASSERT_TRUE(core->create());
        frame = std::make_unique<CMainFrame>(*core);
        frame->show();
    }
    void TearDown() override {
        frame.reset();
        core.reset();
        delete loop;
        fs::remove_all(dir);
    }
};

TEST_F(MainFrameGui, StartsConnectedAndCommandsFollowTheLink) {
    EXPECT_EQ(frame->windowTitle(), QString::fromUtf8("KelvoZunto短信中心"));
    ASSERT_TRUE(waitFor([&] { return core->link().linkActive(); }));
    frame->updateCommandUI();
    EXPECT_FALSE(frame->action(cmd::Connect)->isEnabled());
    EXPECT_TRUE(frame->action(cmd::Disconnect)->isEnabled());
    EXPECT_EQ(frame->toolBar()->actions().size(), 12);
    // Disconnect through the menu command; the link goes down after its pause.
    frame->action(cmd::Disconnect)->trigger();
    ASSERT_TRUE(waitFor([&] { return !core->link().linkActive(); }));
    frame->updateCommandUI();
    EXPECT_TRUE(frame->action(cmd::Connect)->isEnabled());
    EXPECT_FALSE(frame->action(cmd::Disconnect)->isEnabled());
}

TEST_F(MainFrameGui, DoubleClickOnTheCapacityPaneReachesTheCore) {
    ASSERT_TRUE(waitFor([&] { return core->link().linkActive(); }));
    CStatusBar* bar = frame->statusPanes();
    QRect r = bar->paneRect(PANE_CAPACITY);
    ASSERT_TRUE(r.isValid());
    QTest::mouseDClick(bar, Qt::LeftButton, {}, r.center());
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_EQ(boxes.shown.back().stringId, 60061u);  // SIMs still being read
}

TEST_F(MainFrameGui, ClosingAsksWhileSendingAndWritesTheSettings) {
    ASSERT_TRUE(waitFor([&] { return core->link().linkActive(); }));
    core->sendBatchRunningHook = [] { return true; };
    boxes.answers = {platform::IDNO};
    frame->close();
    EXPECT_EQ(boxes.shown.back().stringId, 60001u);
    EXPECT_TRUE(frame->isVisible());
    boxes.answers = {platform::IDYES};
    core->settings().Resend = 7;
    frame->close();
    ASSERT_TRUE(waitFor([&] { return !frame->isVisible(); }));
    EXPECT_EQ(reg->getDword("Software\\Kelvo\\KelvoZunto短信中心\\settings", "Resend"), 7u);
    EXPECT_EQ(fake.count(FakeDeviceLibrary::Op::CloseModules), 1);
}

TEST_F(MainFrameGui, StatusBarHiddenThroughTheMenuStopsPaneTexts) {
    QAction* sb = frame->action(cmd::ViewStatusBar);
    sb->trigger();
    EXPECT_FALSE(frame->statusPanes()->isVisible());
    EXPECT_FALSE(core->statusBarVisible());
    loop->send(core.get(), UM_STATUSPANE, PANE_MAILBOX, 2);
    EXPECT_NE(frame->statusPanes()->paneText(PANE_MAILBOX),
              QString::fromUtf8(" 欢迎使用KelvoZunto..."));
}

}  // namespace

namespace {

// The properties command opens the dialog over the main window; SIM卡信息
// sits in the 查看 menu.
TEST_F(MainFrameGui, SettingsCommandOpensThePropertiesDialogAndSimInfoIsAViewCommand) {
    QString title;
    bool modalSeen = false;
    QTimer::singleShot(50, [&] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            modalSeen = true;
            title = w->windowTitle();
            QTest::keyClick(w, Qt::Key_Escape);
        }
    });
    frame->action(cmd::Settings)->trigger();
    EXPECT_TRUE(modalSeen);
    EXPECT_EQ(title, QString::fromUtf8("属性"));
    EXPECT_EQ(core->openDeviceDialog(), nullptr);
    QMenu* view = nullptr;
    for (QAction* a : frame->menuBar()->actions())
        if (a->text() == QString::fromUtf8("查看(&V)")) view = a->menu();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->actions().contains(frame->action(cmd::SimInfo)));
}

}  // namespace

TEST_F(MainFrameGui, ThePhonesPhonebookButtonOpensThePicker) {
    CPhoneDlg* phone = frame->phoneDialog();
    ASSERT_NE(phone, nullptr);
    ASSERT_TRUE(phone->button(phone::IDC_PHONEBOOK)->isEnabled());
    std::string opened;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (QWidget* m = QApplication::activeModalWidget()) {
            opened = m->metaObject()->className();
            m->close();
        }
    });
    watch.start(10);
    phone->button(phone::IDC_PHONEBOOK)->click();
    watch.stop();
    EXPECT_EQ(opened, "msgdesk::CPhonebookPickerDlg");
}
