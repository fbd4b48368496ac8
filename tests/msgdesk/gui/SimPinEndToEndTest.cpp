// SPDX-License-Identifier: GPL-3.0-or-later
// A SIM that wants its PIN, unlocked from the real main window on the real
// device library and two simulated modems (the second one's SIM asks for
// 4321). Skips until both are built.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "SimFrameFixture.h"
#include "shell/CSimPinDlg.h"

using namespace msgdesk;
using namespace std::chrono_literals;
using msgdesk::guitest::waitFor;
using msgdesk::guitest::whenModal;

namespace {

template <class W>
W* named(QWidget* parent, const char* name) {
    for (W* w : parent->findChildren<W*>())
        if (w->accessibleName() == QString::fromUtf8(name)) return w;
    return nullptr;
}

class SimPinEndToEnd : public guitest::SimFrameFixture {
protected:
    SimPinEndToEnd() : SimFrameFixture("simpine2e") {}
};

TEST_F(SimPinEndToEnd, WrongPinIsSaidThenTheRightOneUnlocksAndTheCardIsRead) {
    struct Seen {
        QString title, message, tries;
        bool okEnabledEmpty = true, okEnabledFull = false;
    };
    std::vector<Seen> seen;
    auto answer = [&](const char* code) {
        return [&, code](CSimPinDlg* d) {
            Seen s;
            s.title = d->windowTitle();
            if (auto* m = named<QLabel>(d, "提示")) s.message = m->text();
            if (auto* t = named<QLabel>(d, "剩余尝试次数")) s.tries = t->text();
            QLineEdit* pin = named<QLineEdit>(d, "PIN码");
            QPushButton* ok = named<QPushButton>(d, "确定");
            if (!pin || !ok) {
                ADD_FAILURE() << "no PIN码 field or 确定 button";
                d->reject();
                return;
            }
            EXPECT_EQ(pin->echoMode(), QLineEdit::Password);
            s.okEnabledEmpty = ok->isEnabled();
            QTest::keyClicks(pin, QString::fromUtf8(code));
            s.okEnabledFull = ok->isEnabled();
            seen.push_back(s);
            if (const char* path = std::getenv("SIMPIN_SCREENSHOT")) {
                std::string file = std::string(path) + std::to_string(seen.size()) + ".png";
                d->grab().save(QString::fromStdString(file));
            }
            QTest::mouseClick(ok, Qt::LeftButton);
        };
    };
    whenModal<CSimPinDlg>([&](CSimPinDlg* d) {
        answer("0000")(d);
        whenModal<CSimPinDlg>(answer("4321"));
    });
    startOnSims(2, {}, "pin 2 4321");
    if (HasFatalFailure()) return;
    // Device 1 is read meanwhile; device 2 once unlocked, as at connect.
    ASSERT_TRUE(waitFor(
        [&] {
            return seen.size() == 2 && core->link().simInitCount() == 0 &&
                   !core->link().devices().simLocked(2) &&
                   core->link().devices().phonebookListed(1) &&
                   core->link().devices().phonebookListed(2) &&
                   core->link().devices().messagesListed(2) && core->link().devices().centreRead(2);
        },
        30000));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].title, QString::fromUtf8("输入PIN码"));
    EXPECT_TRUE(seen[0].message.contains(QStringLiteral("Zunto(2)")));
    EXPECT_FALSE(seen[0].message.contains(QString::fromUtf8("错误")));
    EXPECT_EQ(seen[0].tries, QString::fromUtf8("剩余尝试次数：3"));
    EXPECT_FALSE(seen[0].okEnabledEmpty);
    EXPECT_TRUE(seen[0].okEnabledFull);
    EXPECT_TRUE(seen[1].message.startsWith(QString::fromUtf8("PIN码错误")));
    EXPECT_EQ(seen[1].tries, QString::fromUtf8("剩余尝试次数：2"));
    EXPECT_EQ(core->link().devices().centreNumber(2), "+8613800100500");
    EXPECT_FALSE(core->link().devices().centreUnknown(2));
    EXPECT_TRUE(boxes.shown.empty());
    // Nothing of the codes was written to the program's files.
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir)) {
        if (!e.is_regular_file()) continue;
        std::ifstream f(e.path(), std::ios::binary);
        std::string all((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
        EXPECT_EQ(all.find("4321"), std::string::npos) << e.path();
    }
}

}  // namespace
