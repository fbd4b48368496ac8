// SPDX-License-Identifier: GPL-3.0-or-later
// A joined long message in the list and the preview.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QTableView>
#include <filesystem>

#include "QtMessageBox.h"
#include "QtMessageLoop.h"
#include "msgdesk/FakeDeviceLibrary.h"
#include "platform/Codepage.h"
#include "platform/Registry.h"
#include "shell/CMainFrame.h"
#include "shell/CMsgPreview.h"
#include "shell/CMsgdeskApp.h"
#include "shell/MainFrameCore.h"
#include "store/CListMsgView.h"

using namespace msgdesk;
using msgdesk::test::FakeDeviceLibrary;
using platform::codepage::utf8ToGbk;
namespace fs = std::filesystem;

namespace {

int argc = 1;
char arg0[] = "msgdesk_gui_tests";
char* argv[] = {arg0, nullptr};

TEST(LongMessageGui, ListMarksTheJoinedRowAndThePreviewShowsAllOfIt) {
    if (!QApplication::instance()) new QApplication(argc, argv);
    InitMsgdeskResources();
    const fs::path dir = fs::temp_directory_path() / ("longgui-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    {
        auto* loop = new platform::QtMessageLoop(qApp);
        platform::SystemClock clock;
        platform::ScriptedMessageBox boxes;
        FakeDeviceLibrary fake;
        DeviceLibrary table = fake.table();
        platform::RegistryStore reg(dir / "user.reg");
        fake.setDeviceCount(1);
        auto core = std::make_unique<MainFrameCore>(MainFrameCore::Services{
            *loop, clock, boxes, reg, (dir / "guide.html").string(), dir, &table});
        ASSERT_TRUE(core->create());
        auto add = [&](const char* num, const char* textUtf8, const char* time) {
            MessageRecord r;
            r.setNumber(num);
            r.setText(utf8ToGbk(textUtf8));
            r.setDate("2026-12-07");
            r.setTime(time);
            r.setStatus("NEW");
            core->store().AppendMessage(r, InBox);
            return r;
        };
        add("13912345678", "晚上一起吃饭吗？", "09:10:00");
        std::string whole;
        for (int i = 0; i < 3; ++i)
            whole +=
                "尊敬的客户：您尾号8888的账户于12月7日09:30转入人民币5,000.00元，"
                "当前余额12,345.67元。";
        whole += "如有疑问请致电客服热线95588。【银行】";
        MessageRecord joined = add("95588", whole.c_str(), "09:30:07");
        core->store().longTexts(InBox).add(LongTexts::keyOf(joined), utf8ToGbk(whole));
        add("10086", "您本月流量已使用80%。", "10:02:41");

        auto frame = std::make_unique<CMainFrame>(*core);
        frame->resize(1000, 640);
        frame->show();
        core->messageList().ShowMailbox(InBox);
        QApplication::processEvents();
        QTableView* view = frame->list()->listView(InBox);
        view->selectRow(1);
        QApplication::processEvents();
        const QString shown = view->model()->index(1, ColText).data().toString();
        EXPECT_TRUE(shown.startsWith(QStringLiteral("(3) "))) << shown.toStdString();
        EXPECT_FALSE(view->model()->index(0, ColText).data().toString().startsWith("("));
        EXPECT_EQ(frame->preview()->body().toStdString(), whole);
        if (const char* path = std::getenv("LONG_SCREENSHOT"))
            EXPECT_TRUE(frame->grab().save(path));
        frame.reset();
        core.reset();
        delete loop;
    }
    fs::remove_all(dir);
}

}  // namespace
