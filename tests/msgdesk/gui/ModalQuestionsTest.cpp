// SPDX-License-Identifier: GPL-3.0-or-later
// Every modal question of Msgdesk's windows with the world changing under
// it: while the question (a message box or a modal dialog) is open, the rows
// behind it are rebuilt or a device is removed, and what is done after the
// answer must hit the record it was asked about, or nothing. One row per
// question and change, on the real windows over the fake device library
// with two devices; the rows after them check that a removal reaches every
// open window.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "FrameFixture.h"
#include "compose/CKeepOnComputerDlg.h"
#include "compose/CMessageViewDlg.h"
#include "compose/CSimMessageDlg.h"
#include "compose/ComposeIds.h"
#include "compose/ComposeSession.h"
#include "contacts/CContactEditDlg.h"
#include "contacts/CContactView.h"
#include "contacts/CDeviceChoiceDlg.h"
#include "contacts/CLocalPhonebookDlg.h"
#include "contacts/CPhonebookList.h"
#include "contacts/CPhonebookPickerDlg.h"
#include "contacts/CSettingsDlg.h"
#include "contacts/CSimContactEditDlg.h"
#include "contacts/CSimPhonebookDlg.h"
#include "modlink.h"
#include "phone/CPhoneButton.h"
#include "phone/CPhoneDlg.h"
#include "phone/PhoneIds.h"
#include "platform/Codepage.h"
#include "store/StoreCommands.h"
#include "types/Commands.h"

using namespace msgdesk;
using Op = msgdesk::test::FakeDeviceLibrary::Op;
using msgdesk::guitest::waitFor;
using msgdesk::guitest::whenModal;

namespace {

QString u8(const char* s) {
    return QString::fromUtf8(s);
}

// Lets the window thread deliver what was posted (a modal loop does so).
void spin(int ms = 80) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 10);
}

QPushButton* buttonNamed(QWidget* w, const char* accessible) {
    for (QPushButton* b : w->findChildren<QPushButton*>())
        if (b->accessibleName() == u8(accessible)) return b;
    return nullptr;
}

void clickRow(CPhonebookList* list, const char* name) {
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* it = list->topLevelItem(i);
        if (it->text(0) != u8(name)) continue;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(it).center());
        return;
    }
    ADD_FAILURE() << "no row " << name;
}

int rowsNamed(CPhonebookList* list, const char* name) {
    int n = 0;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        n += list->topLevelItem(i)->text(0) == u8(name);
    return n;
}

void selectSimRow(CSimMessageDlg* d, const char* number) {
    for (int r = 0; r < d->list()->rowCount(); ++r)
        if (d->list()->item(r, 1)->text() == u8(number)) {
            d->list()->selectRow(r);
            return;
        }
    ADD_FAILURE() << "no row " << number;
}

// The message boxes of the windows: recorded and answered as the scripted
// box does (OK, Yes), after running what the row delivers while it is open.
class QuestionBox final : public platform::MessageBoxPort {
public:
    int show(const platform::MessageBoxRequest& r) override {
        shown.push_back(r);
        if (whileOpen) whileOpen(r);
        return r.buttons == platform::MbButtons::YesNo ? platform::IDYES : platform::IDOK;
    }
    std::vector<platform::MessageBoxRequest> shown;
    std::function<void(const platform::MessageBoxRequest&)> whileOpen;
};

// The real main window over its core on the fake library with two devices,
// both listed: SIM entries Alpha, Bravo, Charlie (device 1, indexes 1..3)
// and Delta (device 2, index 1); SIM messages 10086, 10010, 95588 (device 1,
// indexes 1..3) and 12345 (device 2); contacts Amy and Bob.
class World : public ::testing::Test {
public:
    World()
        : dir(std::filesystem::temp_directory_path() / ("worldgui-" + std::to_string(::getpid()))) {
    }

    void SetUp() override {
        guitest::app();
        std::filesystem::create_directories(dir);
        loop = new platform::QtMessageLoop(&guitest::app());
        reg = std::make_unique<platform::RegistryStore>(dir / "user.reg");
        fake.setDeviceCount(2);
        core = std::make_unique<MainFrameCore>(MainFrameCore::Services{
            *loop, clock, boxes, *reg, (dir / "guide.html").string(), dir, &table});
        ASSERT_TRUE(core->create());
        frame = std::make_unique<CMainFrame>(*core);
        frame->show();
        ASSERT_TRUE(waitFor([&] { return core->link().linkActive(); }));
        DeviceTable& t = core->link().devices();
        for (int d = 1; d <= 2; ++d) {
            t.setCentreNumber(d, d == 1 ? "+8613800100500" : "+8613800200500");
            t.setCentreRead(d, true);
            t.setPhonebookCapacity(d, 250);
            t.setMessageCapacity(d, 30);
        }
        // The start-up poll's second phase, and the listings' answers.
        core->link().onTimer(TIMER_STARTUP_POLL);
        const char* entries[3][3] = {
            {"\"1\",\"13800000001\",\"Alpha\"", "\"2\",\"13800000002\",\"Bravo\"",
             "\"3\",\"13800000003\",\"Charlie\""},
            {"\"1\",\"13900000001\",\"Delta\"", nullptr, nullptr}};
        for (const auto& c : fake.calls(Op::GetSavedTelphone)) {
            for (const char* e : entries[c.a - 1])
                if (e) fake.fire(MODLINK_EV_ENTRY, e, c.result);
            fake.fire(MODLINK_EV_ENTRY, nullptr, c.result);
        }
        for (const auto& c : fake.calls(Op::GetExistedMessage))
            fake.fire(MODLINK_EV_STORED_MESSAGE, nullptr, c.a);
        auto& cache = core->store().simCache();
        for (auto [device, index, number] :
             {std::tuple{1, 1, "10086"}, std::tuple{1, 2, "10010"}, std::tuple{1, 3, "95588"},
              std::tuple{2, 1, "12345"}}) {
            MessageRecord r;
            r.Icon = device;
            r.setNumber(number);
            r.setText(std::string("text ") + number);
            r.setDate("2026-12-07");
            r.setTime("09:30:00");
            r.setStatus(std::to_string(index) + "/" + std::to_string(device));
            cache.AddSimMessage(r);
        }
        for (const char* name : {"Amy", "Bob"}) {
            auto rec = NewContactRecord();
            rec->setName(name);
            rec->setMobile(std::string("1360000000") + (name[0] == 'A' ? "1" : "2"));
            core->contacts().AddContact(std::move(rec));
        }
        loop->post(core.get(), platform::Message{UM_REFRESHVIEWS, REFRESH_CONTACT_PANE, 0, {}});
        ASSERT_TRUE(waitFor([&] {
            return core->link().simInitCount() == 0 && t.phonebookListed(1) &&
                   t.phonebookListed(2) && core->simPhonebook().list(1).size() == 3 &&
                   core->simPhonebook().list(2).size() == 1;
        }));
        frame->updateCommandUI();
        fake.clearCalls();
    }
    void TearDown() override {
        boxes.whileOpen = nullptr;
        frame.reset();
        core.reset();
        delete loop;
        std::filesystem::remove_all(dir);
    }

    // The device's modem is unplugged: the library's event, delivered.
    void removeDevice(int d) {
        fake.fire(MODLINK_EV_UNPLUGGED, nullptr, d);
        spin();
    }
    // A deletion the card confirmed (its answer path), which rebuilds the
    // open SIM phonebook manager.
    void entryDeletedByCard(int device, int index) {
        SimPhoneEntry* e = nullptr;
        for (const auto& x : core->simPhonebook().list(device))
            if (x->index == index) e = x.get();
        ASSERT_NE(e, nullptr);
        loop->post(core.get(), platform::Message{UM_SIMENTRYDONE,
                                                 static_cast<platform::WPARAM>(device),
                                                 reinterpret_cast<platform::LPARAM>(e),
                                                 {}});
        spin();
    }
    // Runs act once while the message box with this string id is open.
    void duringBox(unsigned id, std::function<void()> act) {
        auto done = std::make_shared<bool>(false);
        boxes.whileOpen = [id, act, done](const platform::MessageBoxRequest& r) {
            if (r.stringId != id || *done) return;
            *done = true;
            act();
        };
    }
    int shown(unsigned id) const {
        int n = 0;
        for (const auto& r : boxes.shown) n += r.stringId == id;
        return n;
    }
    std::vector<std::pair<int, int>> calls(Op op) const {
        std::vector<std::pair<int, int>> out;
        for (const auto& c : fake.calls(op)) out.emplace_back(c.a, c.b);
        return out;
    }
    // Opens the window of a menu command; inside runs in its modal loop.
    template <class D>
    void run(int command, std::function<void(D*)> inside) {
        whenModal<D>([inside](D* d) {
            inside(d);
            if (d->isVisible()) d->reject();  // not when the row closed it
        });
        frame->updateCommandUI();
        ASSERT_TRUE(frame->action(command)->isEnabled()) << command;
        frame->action(command)->trigger();
        spin();
    }
    // Double-clicks a centre row of the properties dialog: its editor.
    static QLineEdit* openCentre(CSettingsDlg* d, int row) {
        QTableWidget* t = d->centres();
        const QPoint at = t->visualRect(t->model()->index(row, 0)).center();
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(t->viewport(), Qt::LeftButton, {}, at);
        QLineEdit* editor = nullptr;
        for (QLineEdit* e : t->findChildren<QLineEdit*>())
            if (e->isVisible()) editor = e;
        return editor;
    }
    // Types into a centre row and ends with Enter.
    static void editCentre(CSettingsDlg* d, int row, const QString& text) {
        QLineEdit* editor = openCentre(d, row);
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
    }
    CPhoneDlg* phone() { return frame->phoneDialog(); }

    std::filesystem::path dir;
    platform::QtMessageLoop* loop = nullptr;
    platform::SystemClock clock;
    QuestionBox boxes;
    test::FakeDeviceLibrary fake;
    DeviceLibrary table = fake.table();
    std::unique_ptr<platform::RegistryStore> reg;
    std::unique_ptr<MainFrameCore> core;
    std::unique_ptr<CMainFrame> frame;
};

struct Case {
    const char* name;
    std::function<void(World&)> run;
};

// The SIM phonebook manager: rows Alpha, Bravo, Charlie (device 1, SIM
// indexes 1..3) and Delta (device 2, index 1).
void simBook(World& w, std::function<void(CSimPhonebookDlg*)> inside) {
    w.run<CSimPhonebookDlg>(cmd::SimPhonebook, inside);
}

const Case kCases[] = {
    // 删除: a confirmed deletion rebuilds the rows while 60000 is open; the
    // row numbers taken before would now name Charlie.
    {"SimBookDeleteWhileRowsRebuilt",
     [](World& w) {
         simBook(w, [&](CSimPhonebookDlg* d) {
             clickRow(d->list(), "Bravo");
             w.duringBox(60000, [&] { w.entryDeletedByCard(1, 1); });
             buttonNamed(d, "删除(D)")->click();
         });
         EXPECT_EQ(w.calls(Op::DelTelphone), (std::vector<std::pair<int, int>>{{1, 2}}));
     }},
    {"SimBookDeleteWhileDeviceRemoved",
     [](World& w) {
         simBook(w, [&](CSimPhonebookDlg* d) {
             clickRow(d->list(), "Delta");
             w.duringBox(60000, [&] { w.removeDevice(2); });
             buttonNamed(d, "删除(D)")->click();
             spin();
             EXPECT_EQ(rowsNamed(d->list(), "Delta"), 0);
         });
         EXPECT_TRUE(w.calls(Op::DelTelphone).empty());
     }},
    // 修改 of the last row while the two above it go: the row it had is
    // past the end when the dialog closes.
    {"SimBookChangeWhileRowsRebuilt",
     [](World& w) {
         simBook(w, [&](CSimPhonebookDlg* d) {
             clickRow(d->list(), "Charlie");
             whenModal<CSimContactEditDlg>([&](CSimContactEditDlg* e) {
                 w.entryDeletedByCard(1, 1);
                 w.entryDeletedByCard(1, 2);
                 e->nameEdit()->setText(QStringLiteral("Chuck"));
                 e->accept();
             });
             buttonNamed(d, "修改(M)")->click();
             spin();
             ASSERT_EQ(d->model().rows().size(), 2);  // Chuck and Delta
             EXPECT_EQ(d->model().rows().at(0).name, "Chuck");
             EXPECT_EQ(d->model().rows().at(1).name, "Delta");
         });
         ASSERT_EQ(w.fake.count(Op::SetTelphone), 1);
         EXPECT_EQ(w.calls(Op::SetTelphone)[0], (std::pair{1, 3}));
         EXPECT_EQ(w.fake.calls(Op::SetTelphone)[0].s2, "Chuck");
     }},
    {"SimBookChangeWhileDeviceRemoved",
     [](World& w) {
         simBook(w, [&](CSimPhonebookDlg* d) {
             clickRow(d->list(), "Delta");
             whenModal<CSimContactEditDlg>([&](CSimContactEditDlg* e) {
                 w.removeDevice(2);
                 e->nameEdit()->setText(QStringLiteral("Dora"));
                 e->accept();
             });
             buttonNamed(d, "修改(M)")->click();
             spin();
             EXPECT_EQ(rowsNamed(d->list(), "Dora"), 0);
             EXPECT_EQ(d->model().rows().size(), 3);
         });
         EXPECT_EQ(w.fake.count(Op::SetTelphone), 0);
     }},
    // 新建 on device 2, which goes while the entry dialog is open: nothing
    // is stored, and no "card full" notice misleads.
    {"SimBookNewWhileDeviceRemoved",
     [](World& w) {
         simBook(w, [&](CSimPhonebookDlg* d) {
             whenModal<CSimContactEditDlg>([&](CSimContactEditDlg* e) {
                 e->deviceList()->setCurrentIndex(1);
                 e->nameEdit()->setText(QStringLiteral("Echo"));
                 e->numberEdit()->setText(QStringLiteral("13700000000"));
                 w.removeDevice(2);
                 e->accept();
             });
             buttonNamed(d, "新建(N)")->click();
             spin();
             EXPECT_EQ(rowsNamed(d->list(), "Echo"), 0);
         });
         EXPECT_EQ(w.fake.count(Op::SetTelphone), 0);
         EXPECT_EQ(w.shown(60030), 0);
     }},
    // The store is refused at once: 60007 is open while the rows are
    // rebuilt (they list the new entry) or its device goes.
    {"SimBookNewRefusedWhileRowsRebuilt",
     [](World& w) {
         w.fake.queueResults(Op::SetTelphone, {-1});
         simBook(w, [&](CSimPhonebookDlg* d) {
             clickRow(d->list(), "Alpha");
             whenModal<CSimContactEditDlg>([&](CSimContactEditDlg* e) {
                 e->nameEdit()->setText(QStringLiteral("Echo"));
                 e->numberEdit()->setText(QStringLiteral("13700000000"));
                 e->accept();
             });
             w.duringBox(60007, [&] {
                 w.loop->post(w.core.get(), platform::Message{UM_SIMENTRYDONE, 0, 0, {}});
                 spin();
             });
             buttonNamed(d, "新建(N)")->click();
             spin();
             EXPECT_EQ(rowsNamed(d->list(), "Echo"), 1);
             int inModel = 0;
             for (const PhonebookRow& r : d->model().rows().rows()) inModel += r.name == "Echo";
             EXPECT_EQ(inModel, 1);
             // 新建 leaves the selection as it was.
             ASSERT_EQ(d->model().rows().selected().size(), 1u);
             EXPECT_EQ(d->model().rows().at(d->model().rows().firstSelected()).name, "Alpha");
         });
         EXPECT_EQ(w.shown(60007), 1);
     }},
    {"SimBookNewRefusedWhileDeviceRemoved",
     [](World& w) {
         w.fake.queueResults(Op::SetTelphone, {-1});
         simBook(w, [&](CSimPhonebookDlg* d) {
             whenModal<CSimContactEditDlg>([&](CSimContactEditDlg* e) {
                 e->nameEdit()->setText(QStringLiteral("Echo"));
                 e->numberEdit()->setText(QStringLiteral("13700000000"));
                 e->accept();
             });
             w.duringBox(60007, [&] { w.removeDevice(1); });
             buttonNamed(d, "新建(N)")->click();
             spin();
             EXPECT_EQ(rowsNamed(d->list(), "Echo"), 0);
             EXPECT_EQ(d->list()->topLevelItemCount(), 1);  // Delta
         });
     }},
    // Properties: the 60052 question while UM_SIMREADY rebuilds the rows;
    // Yes still marks the edit, so OK sends it.
    {"PropertiesDoubtfulNumberWhileRowsRebuilt",
     [](World& w) {
         w.run<CSettingsDlg>(cmd::Settings, [&](CSettingsDlg* d) {
             w.duringBox(60052, [&] {
                 w.loop->post(w.core->openDeviceDialog(), platform::Message{UM_SIMREADY, 0, 0, {}});
                 spin();
             });
             World::editCentre(d, 1, QStringLiteral("138 00"));
             EXPECT_EQ(d->centres()->item(1, 0)->text(), QStringLiteral("138 00"));
             buttonNamed(d, "确定(O)")->click();
         });
         EXPECT_EQ(w.shown(60052), 1);
         const auto sets = w.fake.calls(Op::SetGSMCenter);
         ASSERT_EQ(sets.size(), 2u);
         EXPECT_EQ(sets[1].a, 2);
         EXPECT_EQ(sets[1].s1, "138 00");
     }},
    {"PropertiesDoubtfulNumberWhileDeviceRemoved",
     [](World& w) {
         w.run<CSettingsDlg>(cmd::Settings, [&](CSettingsDlg* d) {
             w.duringBox(60052, [&] { w.removeDevice(2); });
             World::editCentre(d, 1, QStringLiteral("138 00"));
             buttonNamed(d, "确定(O)")->click();
         });
         EXPECT_EQ(w.shown(60052), 1);
         // Nothing changed on the device still there, nothing sent to the one gone.
         EXPECT_EQ(w.fake.count(Op::SetGSMCenter), 0);
     }},
    // A centre given up shows "未知"; editing it starts from nothing.
    {"PropertiesUnknownCentreEditsFromEmpty",
     [](World& w) {
         w.core->link().devices().setCentreNumber(2, "");
         w.core->link().devices().setCentreUnknown(2, true);
         w.run<CSettingsDlg>(cmd::Settings, [&](CSettingsDlg* d) {
             EXPECT_EQ(d->centres()->item(1, 0)->text(), u8("未知"));
             QLineEdit* editor = World::openCentre(d, 1);
             ASSERT_NE(editor, nullptr);
             EXPECT_EQ(editor->text(), QString());
             QTest::keyClick(editor, Qt::Key_Return);  // nothing typed: no number
             QApplication::processEvents();
             buttonNamed(d, "确定(O)")->click();
         });
         for (const auto& c : w.fake.calls(Op::SetGSMCenter)) EXPECT_NE(c.s1, "未知");
     }},
    // SIM message manager: the keep-on-computer prompt while a confirmed
    // deletion lists again (the positions move) or the row's device goes.
    {"SimMessagesDeleteWhileRowsRebuilt",
     [](World& w) {
         w.run<CSimMessageDlg>(cmd::SimMessages, [&](CSimMessageDlg* d) {
             selectSimRow(d, "10010");
             whenModal<CKeepOnComputerDlg>([&](CKeepOnComputerDlg* k) {
                 w.core->store().simCache().RemoveSimMessageByKey("1/1");
                 w.loop->post(w.core->openDeviceDialog(),
                              platform::Message{UM_SIMMESSAGES, 0, 0, {}});
                 spin();
                 k->findChild<QPushButton*>(QString::number(compose::IDC_KEEP_NO))->click();
             });
             d->button(1078)->click();
             spin();
         });
         EXPECT_EQ(w.calls(Op::DelSMSMessage), (std::vector<std::pair<int, int>>{{1, 2}}));
     }},
    {"SimMessagesDeleteWhileDeviceRemoved",
     [](World& w) {
         w.run<CSimMessageDlg>(cmd::SimMessages, [&](CSimMessageDlg* d) {
             selectSimRow(d, "12345");
             whenModal<CKeepOnComputerDlg>([&](CKeepOnComputerDlg* k) {
                 w.removeDevice(2);
                 k->findChild<QPushButton*>(QString::number(compose::IDC_KEEP_YES))->click();
             });
             d->button(1078)->click();
             spin();
         });
         EXPECT_TRUE(w.calls(Op::DelSMSMessage).empty());
         EXPECT_EQ(w.shown(60012), 0);
         EXPECT_EQ(w.core->store().box(InBox).size(), 0);  // no copy of what is gone
     }},
    // The view of a row whose device goes: reply still answers the number shown.
    {"SimMessagesViewWhileDeviceRemoved",
     [](World& w) {
         std::string replyTo;
         w.core->composeDialogHook = [&](ComposeSession& s) {
             replyTo = s.request().text;
             return 2;
         };
         w.run<CSimMessageDlg>(cmd::SimMessages, [&](CSimMessageDlg* d) {
             selectSimRow(d, "12345");
             whenModal<CMessageViewDlg>([&](CMessageViewDlg* v) {
                 w.removeDevice(2);
                 v->findChild<QPushButton*>(QString::number(IDC_VIEW_REPLY))->click();
             });
             d->button(1077)->click();
             spin();
         });
         EXPECT_TRUE(waitFor([&] { return !replyTo.empty(); }));
         EXPECT_EQ(replyTo, "12345");
     }},
    // Contact pane 删除 (60000) while a removal rebuilds the pane.
    {"ContactPaneDeleteAndChangeWhileDeviceRemoved",
     [](World& w) {
         CPhonebookList* pane = w.frame->contactView()->list();
         clickRow(pane, "Bob");
         w.duringBox(60000, [&] { w.removeDevice(2); });
         w.core->contactsCore().pane().setActive(true);
         w.frame->updateCommandUI();
         w.frame->action(cmd::DeleteContact)->trigger();
         spin();
         ASSERT_EQ(w.core->contacts().records().size(), 1u);
         EXPECT_EQ(w.core->contacts().records()[0]->name(), "Amy");
         // 修改 of the contact left while the last device goes.
         clickRow(pane, "Amy");
         whenModal<CContactEditDlg>([&](CContactEditDlg* e) {
             w.removeDevice(1);
             e->field(ContactField::Name)->setText(QStringLiteral("Ann"));
             e->accept();
         });
         w.core->contactsCore().pane().setActive(true);
         w.frame->updateCommandUI();
         w.frame->action(cmd::ChangeContact)->trigger();
         spin();
         ASSERT_EQ(w.core->contacts().records().size(), 1u);
         EXPECT_EQ(w.core->contacts().records()[0]->name(), "Ann");
         EXPECT_EQ(rowsNamed(pane, "Ann"), 1);
     }},
    // 移至SIM卡: the device chosen goes while the choice is open.
    {"MoveToSimWhileDeviceRemoved",
     [](World& w) {
         CPhonebookList* pane = w.frame->contactView()->list();
         clickRow(pane, "Amy");
         whenModal<CDeviceChoiceDlg>([&](CDeviceChoiceDlg* c) {
             c->deviceList()->setCurrentIndex(1);
             w.removeDevice(2);
             c->accept();
         });
         w.core->contactsCore().pane().setActive(true);
         w.frame->updateCommandUI();
         w.frame->action(cmd::MoveToSim)->trigger();
         spin();
         EXPECT_EQ(w.fake.count(Op::SetTelphone), 0);
         EXPECT_EQ(w.shown(60031), 0);
     }},
    // The local phonebook manager's 删除 (60000) and 修改 while a removal
    // rebuilds the contact pane.
    {"LocalBookDeleteAndChangeWhileDeviceRemoved",
     [](World& w) {
         w.run<CLocalPhonebookDlg>(cmd::LocalPhonebook, [&](CLocalPhonebookDlg* d) {
             clickRow(d->list(), "Bob");
             w.duringBox(60000, [&] { w.removeDevice(2); });
             buttonNamed(d, "删除(D)")->click();
             clickRow(d->list(), "Amy");
             whenModal<CContactEditDlg>([&](CContactEditDlg* e) {
                 w.removeDevice(1);
                 e->field(ContactField::Name)->setText(QStringLiteral("Ann"));
                 e->accept();
             });
             buttonNamed(d, "修改(M)")->click();
             spin();
             ASSERT_EQ(d->list()->topLevelItemCount(), 1);
             EXPECT_EQ(d->list()->topLevelItem(0)->text(0), QStringLiteral("Ann"));
         });
         ASSERT_EQ(w.core->contacts().records().size(), 1u);
         EXPECT_EQ(w.core->contacts().records()[0]->name(), "Ann");
     }},
    // The phone's phonebook picker while a device goes: the number picked
    // is the one shown; a row with no number clears the display.
    {"PhonePickerWhileDeviceRemoved",
     [](World& w) {
         auto rec = NewContactRecord();
         rec->setName("Zed");  // no number
         w.core->contacts().AddContact(std::move(rec));
         w.frame->action(cmd::Phone)->trigger();
         w.core->phone()->key('5');
         whenModal<CPhonebookPickerDlg>([&](CPhonebookPickerDlg* p) {
             p->simBox()->setChecked(true);
             w.removeDevice(2);
             p->findEdit()->setText(QStringLiteral("Delta"));
             QTest::keyClick(p->findEdit(), Qt::Key_Return);
         });
         QTest::mouseClick(w.phone()->button(phone::IDC_PHONEBOOK), Qt::LeftButton);
         spin();
         EXPECT_EQ(w.core->phone()->digits(), "13900000001");
         whenModal<CPhonebookPickerDlg>([&](CPhonebookPickerDlg* p) {
             p->findEdit()->setText(QStringLiteral("Zed"));
             QTest::keyClick(p->findEdit(), Qt::Key_Return);
         });
         QTest::mouseClick(w.phone()->button(phone::IDC_PHONEBOOK), Qt::LeftButton);
         spin();
         EXPECT_EQ(w.core->phone()->digits(), "");
         EXPECT_EQ(w.phone()->cellPictureId(1113), phone::IDB_CELL_EMPTY);
     }},
    // A removal reaches the open SIM message manager: the device's rows go
    // and nothing stays selected; a link close empties it.
    {"SimMessagesHearRemovalAndLinkClose",
     [](World& w) {
         w.run<CSimMessageDlg>(cmd::SimMessages, [&](CSimMessageDlg* d) {
             ASSERT_EQ(d->list()->rowCount(), 4);
             selectSimRow(d, "12345");
             EXPECT_TRUE(d->button(1078)->isEnabled());
             w.removeDevice(2);
             EXPECT_EQ(d->list()->rowCount(), 3);
             EXPECT_FALSE(d->button(1078)->isEnabled());
             w.core->link().disconnect();
             EXPECT_TRUE(waitFor([&] { return d->list()->rowCount() == 0; }));
         });
     }},
    // In a call on device 1 when it is unplugged: the call ends as if hung
    // up, device 2 becomes current, and dialling goes there.
    {"PhoneHearsRemovalInACall",
     [](World& w) {
         w.frame->action(cmd::Phone)->trigger();
         PhoneDialogCore* p = w.core->phone();
         for (char c : std::string("10086")) p->key(c);
         p->dialOrAnswer();
         w.loop->post(w.core.get(), platform::Message{UM_PHONERESULT, 226, 0, {}});
         ASSERT_TRUE(waitFor([&] { return p->inCall(); }));
         w.fake.clearCalls();
         w.removeDevice(1);
         EXPECT_FALSE(p->inCall());
         EXPECT_FALSE(p->timing());
         EXPECT_EQ(w.phone()->statusField()->text(), u8("已挂机    "));
         EXPECT_EQ(w.phone()->deviceField()->text(), QStringLiteral("02"));
         EXPECT_EQ(w.fake.count(Op::EndPhone), 0);  // nothing more asked of the gone device
         w.boxes.shown.clear();
         for (char c : std::string("10010")) p->key(c);
         p->dialOrAnswer();
         ASSERT_EQ(w.fake.count(Op::DialUp), 1);
         EXPECT_EQ(w.fake.calls(Op::DialUp)[0].a, 2);
         // 更改当前设备 with one device left says there is no other.
         p->hangUp();
         w.loop->post(w.core.get(), platform::Message{UM_PHONERESULT, 162, 224, {}});
         spin();
         QTest::mouseClick(w.phone()->button(phone::IDC_DEVICE), Qt::LeftButton);
         EXPECT_EQ(w.shown(60075), 1);
     }},
};

class ModalQuestions : public World, public ::testing::WithParamInterface<Case> {};

TEST_P(ModalQuestions, ActOnlyOnWhatIsFoundAgain) {
    GetParam().run(*this);
}

INSTANTIATE_TEST_SUITE_P(Rows, ModalQuestions, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& i) { return i.param.name; });

}  // namespace
