// SPDX-License-Identifier: GPL-3.0-or-later
// The contact pane and the phonebook managers in the real main window, on
// the real device library and two simulated modems whose SIM phonebooks
// hold 1 王小明, 2 李华 and 4 客服. Skips until both are built.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <sstream>

#include "QtMessageLoop.h"
#include "SimFrameFixture.h"
#include "contacts/CContactEditDlg.h"
#include "contacts/CContactView.h"
#include "contacts/CDeviceChoiceDlg.h"
#include "contacts/CPhonebookList.h"
#include "contacts/CSimContactEditDlg.h"
#include "contacts/CSimPhonebookDlg.h"
#include "platform/Codepage.h"
#include "platform/Registry.h"
#include "shell/CMainFrame.h"
#include "shell/CMsgdeskApp.h"
#include "shell/MainFrameCore.h"
#include "support/Zuntosim.h"
#include "types/Commands.h"

using namespace msgdesk;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

using msgdesk::guitest::waitFor;
using msgdesk::guitest::whenModal;

QPushButton* buttonOf(QWidget* w, const QString& accessible) {
    for (QPushButton* b : w->findChildren<QPushButton*>())
        if (b->accessibleName() == accessible) return b;
    return nullptr;
}

int rowNamed(CPhonebookList* list, const QString& name) {
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->text(0) == name) return i;
    return -1;
}

class ContactEndToEnd : public guitest::SimFrameFixture {
protected:
    ContactEndToEnd() : SimFrameFixture("contacte2e") {}
    void SetUp() override {
        SimFrameFixture::SetUp();
        if (IsSkipped()) return;
        startOnSims(2,
                    {"--phonebook", std::string(ZUNTO_TEST_DATA) + "/msgdesk/sim-phonebook.txt"});
        if (HasFatalFailure()) return;
        ASSERT_TRUE(waitFor(
            [&] {
                return core->link().linkActive() && core->link().simInitCount() == 0 &&
                       core->link().devices().phonebookListed(1) &&
                       core->link().devices().phonebookListed(2);
            },
            20000));
    }
    // The simulator's answer to a control command: "OK ..." or "ERROR ...".
    std::string control(const std::string& command) {
        sim.send(command);
        std::string line;
        while (sim.readLine(line, 5s))
            if (line.rfind("OK", 0) == 0 || line.rfind("ERROR", 0) == 0) return line;
        return {};
    }
    std::string card(int device, int index) {
        return control("pbget " + std::to_string(device) + " " + std::to_string(index));
    }
    int count(unsigned id) const {
        int n = 0;
        for (auto& s : boxes.shown) n += s.stringId == id;
        return n;
    }
};

TEST_F(ContactEndToEnd, AddSaveAndMoveAContactToTheSecondCard) {
    whenModal<CContactEditDlg>([](CContactEditDlg* d) {
        d->field(ContactField::Name)->setText(QStringLiteral("赵六"));
        d->field(ContactField::Mobile)->setText(QStringLiteral("13911112222"));
        d->accept();
    });
    frame->action(cmd::AddContact)->trigger();
    CPhonebookList* pane = frame->contactView()->list();
    ASSERT_EQ(pane->topLevelItemCount(), 1);
    // Saved by itself soon after the change.
    const fs::path file = dir / "data" / "contact.db";
    EXPECT_TRUE(waitFor([&] { return fs::exists(file) && fs::file_size(file) == 227; }, 2500));

    // A click into the pane selects the row and makes the pane the active view.
    QTest::mouseClick(pane->viewport(), Qt::LeftButton, {},
                      pane->visualItemRect(pane->topLevelItem(0)).center());
    frame->updateCommandUI();
    ASSERT_TRUE(frame->action(cmd::MoveToSim)->isEnabled());
    whenModal<CDeviceChoiceDlg>([](CDeviceChoiceDlg* d) {
        d->deviceList()->setCurrentIndex(1);
        d->accept();
    });
    frame->action(cmd::MoveToSim)->trigger();
    // Card 2 holds 1, 2 and 4: the first free position is 3.
    std::string got;
    EXPECT_TRUE(waitFor([&] { return (got = card(2, 3)).rfind("OK", 0) == 0; }, 5000)) << got;
    EXPECT_EQ(got, "OK 13911112222,赵六");
    EXPECT_EQ(core->simPhonebook().list(2).size(), 4u);
}

TEST_F(ContactEndToEnd, SimManagerDeletesExportsAndUndoesARefusedChange) {
    whenModal<CSimPhonebookDlg>([this](CSimPhonebookDlg* d) {
        CPhonebookList* list = d->list();
        d->deviceList()->setCurrentIndex(1);  // Zunto[1]
        EXPECT_EQ(list->topLevelItemCount(), 3);
        if (rowNamed(list, QStringLiteral("客服")) < 0 ||
            rowNamed(list, QStringLiteral("王小明")) < 0) {
            ADD_FAILURE() << "card 1 not listed";
            d->reject();  // never leave the manager open: its exec would not return
            return;
        }
        // Delete 客服 (position 4): the row goes when the card confirms.
        list->topLevelItem(rowNamed(list, QStringLiteral("客服")))->setSelected(true);
        buttonOf(d, QStringLiteral("删除(D)"))->click();
        EXPECT_TRUE(waitFor([&] { return list->topLevelItemCount() == 2; }, 5000));
        EXPECT_EQ(rowNamed(list, QStringLiteral("客服")), -1);

        // Export 王小明 to the computer's book.
        list->clearSelection();
        list->topLevelItem(rowNamed(list, QStringLiteral("王小明")))->setSelected(true);
        buttonOf(d, QStringLiteral("导出到电脑(E)"))->click();
        EXPECT_EQ(core->contacts().size(), 1u);

        // A change the card refuses: 60007 once and the old name back.
        control("fail 2 +CPBW ERROR");
        d->deviceList()->setCurrentIndex(2);
        list->clearSelection();
        if (rowNamed(list, QStringLiteral("李华")) < 0) {
            ADD_FAILURE() << "card 2 not listed";
            d->reject();
            return;
        }
        list->topLevelItem(rowNamed(list, QStringLiteral("李华")))->setSelected(true);
        whenModal<CSimContactEditDlg>([](CSimContactEditDlg* e) {
            e->nameEdit()->setText(QStringLiteral("李华华"));
            e->accept();
        });
        buttonOf(d, QStringLiteral("修改(M)"))->click();
        EXPECT_TRUE(waitFor([&] { return count(60007) == 1; }, 5000));
        EXPECT_TRUE(waitFor([&] { return rowNamed(list, QStringLiteral("李华")) >= 0; }, 2000));
        EXPECT_EQ(rowNamed(list, QStringLiteral("李华华")), -1);
        d->reject();
    });
    frame->updateCommandUI();
    ASSERT_TRUE(frame->action(cmd::SimPhonebook)->isEnabled());
    frame->action(cmd::SimPhonebook)->trigger();
    EXPECT_EQ(card(1, 4), "ERROR empty");
    EXPECT_EQ(card(2, 2).rfind("OK +8613800138000,李华", 0), 0u);
    EXPECT_EQ(count(60007), 1);
    // The exported contact shows in the pane.
    EXPECT_TRUE(
        waitFor([&] { return frame->contactView()->list()->topLevelItemCount() == 1; }, 2000));
}

}  // namespace
