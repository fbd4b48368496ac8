// SPDX-License-Identifier: GPL-3.0-or-later
// Every enabled command does something: each menu item, tool bar button and
// tool button of the main window that is enabled opens a window or menu,
// asks something or changes what the program holds. What is enabled is read
// from the real menus, in a few states of the mailboxes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <sstream>

#include "FrameFixture.h"
#include "QtMessageLoop.h"
#include "compose/CConversationDlg.h"
#include "msgdesk/FakeDeviceLibrary.h"
#include "msgdesk/store/StoreTestSupport.h"
#include "phone/CPhoneDlg.h"
#include "platform/Registry.h"
#include "shell/CMainFrame.h"
#include "shell/CMsgdeskApp.h"
#include "shell/CStatusBar.h"
#include "shell/MainFrameCore.h"
#include "store/CFindPane.h"
#include "store/CLeftBoxView.h"
#include "store/CListMsgView.h"

using namespace msgdesk;
using msgdesk::test::FakeDeviceLibrary;
namespace fs = std::filesystem;

namespace {

using guitest::app;
using guitest::waitFor;

// One clickable thing of the main window, found again by its path in a
// fresh window.
struct Clickable {
    std::string path;
    QAction* action = nullptr;
    QToolButton* button = nullptr;
    bool enabled() const { return action ? action->isEnabled() : button->isEnabled(); }
};

void addMenu(QMenu* menu, const std::string& prefix, std::vector<Clickable>& out) {
    for (QAction* a : menu->actions()) {
        if (a->isSeparator()) continue;
        const std::string path = prefix + "/" + a->text().toStdString();
        if (a->menu())
            addMenu(a->menu(), path, out);
        else
            out.push_back({"menu " + path, a, nullptr});
    }
}

// A main window on the fake library, its mailboxes seeded, one mailbox shown
// with its last row selected.
class Window {
public:
    explicit Window(MailboxId shown)
        : m_dir(fs::temp_directory_path() /
                ("cmdwalk-" + std::to_string(::getpid()) + "-" + std::to_string(++s_count))) {
        app();
        fs::create_directories(m_dir);
        m_loop = std::make_unique<platform::QtMessageLoop>(&app());
        m_reg = std::make_unique<platform::RegistryStore>(m_dir / "user.reg");
        m_fake.setDeviceCount(1);
        core = std::make_unique<MainFrameCore>(MainFrameCore::Services{
            *m_loop, m_clock, boxes, *m_reg, (m_dir / "no-guide.html").string(), m_dir, &m_table});
        EXPECT_TRUE(core->create());
        frame = std::make_unique<CMainFrame>(*core);
        frame->show();
        EXPECT_TRUE(waitFor([&] { return core->link().linkActive(); }, 3000));
        seed(shown);
        frame->updateCommandUI();
    }
    ~Window() {
        frame.reset();
        core.reset();
        m_loop.reset();
        fs::remove_all(m_dir);
    }

    std::vector<Clickable> clickables() {
        std::vector<Clickable> out;
        for (QAction* top : frame->menuBar()->actions())
            if (top->menu()) addMenu(top->menu(), top->text().toStdString(), out);
        int i = 0;
        for (QAction* a : frame->toolBar()->actions())
            out.push_back({"tool " + std::to_string(i++), a, nullptr});
        i = 0;
        for (QToolButton* b : frame->findChildren<QToolButton*>()) {
            if (b->defaultAction() || b->parent() == frame->toolBar()) continue;  // tool bar's own
            out.push_back({"button " + std::to_string(i++) + " " + b->objectName().toStdString(),
                           nullptr, b});
        }
        return out;
    }

    // What the program holds and shows, as text: a command that changes
    // nothing leaves it as it was.
    std::string fingerprint() {
        std::ostringstream o;
        for (int b = 0; b < kMailboxCount; ++b) {
            const Mailbox& box = core->store().box(static_cast<MailboxId>(b));
            o << b << ':' << box.size() << '[';
            for (int r = 0; r < box.size(); ++r)
                o << box.row(r).rec.status() << '|' << box.row(r).attempts << '|'
                  << box.row(r).rec.Icon << '|' << box.isSelected(r) << ';';
            o << ']';
        }
        o << " list " << core->messageList().current();
        o << " link " << core->link().linkActive() << core->link().disconnectPending();
        o << " calls " << m_fake.calls().size() << " asked " << boxes.shown.size();
        o << " shown " << frame->isVisible() << frame->toolBar()->isVisible()
          << frame->statusPanes()->isVisible() << frame->tree()->isVisible() << core->closed();
        // Modeless windows and bars a command may show.
        o << " find " << (frame->findPane() && frame->findPane()->bar()->isVisible());
        o << " phone " << (frame->phoneDialog() && frame->phoneDialog()->isVisible());
        int conversations = 0;
        for (QWidget* t : QApplication::topLevelWidgets())
            if (qobject_cast<CConversationDlg*>(t) && t->isVisible()) ++conversations;
        o << " conversations " << conversations;
        return o.str();
    }

    std::unique_ptr<MainFrameCore> core;
    std::unique_ptr<CMainFrame> frame;
    platform::ScriptedMessageBox boxes;

private:
    void seed(MailboxId shown) {
        MailboxStore& s = core->store();
        s.AppendMessage(storetest::rec("1001", "new", "NEW"), InBox);
        s.AppendMessage(storetest::rec("1002", "read"), InBox);
        for (const char* n : {"2001", "2002"}) {
            MessageRecord r = storetest::rec(n, "given up");
            r.Icon = SendPump::kIconTimedOut;
            s.AppendMessage(r, OutBox);
        }
        for (int r = 0; r < 2; ++r) s.box(OutBox).setAttempts(r, "5");
        s.AppendMessage(storetest::rec("3001", "sent"), SentBox);
        s.AppendMessage(storetest::rec("4001", "draft"), PublicBox);
        s.AppendMessage(storetest::rec("5001", "deleted", "0"), DeleteBox);
        s.AppendMessage(storetest::rec("5002", "deleted", "2"), DeleteBox);
        core->messageList().ShowMailbox(shown);
        QApplication::processEvents();
    }

    static inline int s_count = 0;
    fs::path m_dir;
    std::unique_ptr<platform::QtMessageLoop> m_loop;
    platform::SystemClock m_clock;
    FakeDeviceLibrary m_fake;
    DeviceLibrary m_table = m_fake.table();
    std::unique_ptr<platform::RegistryStore> m_reg;
};

// Clicks it; true when a modal window or a popup menu opened (it is closed
// again), a question was asked or the fingerprint changed.
bool doesSomething(Window& w, Clickable& c, std::string& what) {
    const std::string before = w.fingerprint();
    std::string opened;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (QWidget* m = QApplication::activeModalWidget()) {
            opened = std::string("modal ") + m->metaObject()->className();
            m->close();
        } else if (QWidget* p = QApplication::activePopupWidget()) {
            opened = std::string("popup ") + p->metaObject()->className();
            p->close();
        }
    });
    watch.start(10);
    if (c.action)
        c.action->trigger();
    else
        c.button->click();
    waitFor([&] { return !opened.empty() || w.fingerprint() != before; }, 1500);
    watch.stop();
    what = opened.empty() ? w.fingerprint() : opened;
    return !opened.empty() || w.fingerprint() != before;
}

class CommandWalk : public ::testing::TestWithParam<MailboxId> {};

TEST_P(CommandWalk, EveryEnabledCommandOpensAsksOrChanges) {
    std::vector<std::string> enabled;
    int total = 0;
    {
        Window w(GetParam());
        for (Clickable& c : w.clickables()) {
            ++total;
            if (c.enabled()) enabled.push_back(c.path);
        }
        // The list's popup offers nothing the menus keep disabled.
        std::unique_ptr<QMenu> popup(w.frame->list()->createPopupMenu());
        for (QAction* a : popup->actions()) {
            if (a->isSeparator() || !a->isEnabled()) continue;
            QAction* menu = w.frame->action(a->data().toInt());
            ASSERT_NE(menu, nullptr) << a->text().toStdString();
            EXPECT_TRUE(menu->isEnabled()) << a->text().toStdString();
        }
    }
    ASSERT_GT(total, 30);  // menus, 12 tool bar buttons, the panes' buttons
    ASSERT_FALSE(enabled.empty());
    for (const std::string& path : enabled) {
        Window w(GetParam());  // fresh: a command may disconnect or close
        std::vector<Clickable> all = w.clickables();
        auto it = std::find_if(all.begin(), all.end(),
                               [&](const Clickable& c) { return c.path == path; });
        ASSERT_NE(it, all.end()) << path;
        std::string what;
        EXPECT_TRUE(doesSomething(w, *it, what)) << path << " is enabled and does nothing";
    }
    // A command whose window is not built yet stays silent even when it
    // reaches the core another way (a shortcut, a posted command).
    Window w(GetParam());
    for (Clickable& c : w.clickables()) {
        if (c.enabled() || !c.action || MainFrameCore::commandBuilt(c.action->data().toInt()))
            continue;
        const std::string before = w.fingerprint();
        w.core->command(c.action->data().toInt());
        QApplication::processEvents();
        EXPECT_EQ(w.fingerprint(), before) << c.path << " is disabled but acted";
    }
}

INSTANTIATE_TEST_SUITE_P(Mailboxes, CommandWalk, ::testing::Values(OutBox, DeleteBox));

}  // namespace
