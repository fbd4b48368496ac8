// SPDX-License-Identifier: GPL-3.0-or-later
// Delivery reports in the assembled main frame over the fake library: the
// setting reaches the library at start and on change, a sent row that asked
// is entered with its references and shows the report when it comes; with
// the setting off, or with a library that cannot ask, nothing is kept.
#include <gtest/gtest.h>

#include "msgdesk/FakeDeviceLibrary.h"
#include "msgdesk/shell/CoreFrameFixture.h"
#include "msgdesk/store/StoreTestSupport.h"
#include "platform/Codepage.h"
#include "platform/ManualMessageLoop.h"
#include "platform/Registry.h"
#include "shell/MainFrameCore.h"
#include "store/MailboxFiles.h"
#include "types/Commands.h"

namespace msgdesk::test {
namespace {

using Op = FakeDeviceLibrary::Op;
namespace fs = std::filesystem;

std::vector<int> g_asked;  // SetStatusReports calls
int MODLINK_CALL fakeSetStatusReports(int on) {
    g_asked.push_back(on);
    return 0;
}

// A window that only records what its preview pane is given.
struct PreviewWindow final : QuietWindow {
    std::vector<std::string> previews;
    void showPreview(const std::string&, const std::string& text) override {
        previews.push_back(platform::codepage::gbkToUtf8(text));
    }
};

class DeliveryReportFlow : public CoreFrameFixture {
protected:
    void start(bool reportsOn, bool libraryCanAsk = true) {
        g_asked.clear();
        if (libraryCanAsk) table.SetStatusReports = fakeSetStatusReports;
        reg.setDword(std::string(Settings::kProfileKey) + "\\Settings", "StatusReport",
                     reportsOn ? 1 : 0);
        connect(1);
        lib.clearCalls();
    }
    // Composes and sends one message; the library reports its references.
    void send(const std::string& number, const std::string& refs) {
        core->sendPump().appendComposed({storetest::rec(number, "hello")});
        loop.runUntilIdle();
        const int id = lib.lastResult(Op::SendSMSMessage);
        lib.fire(4099, ("\"1\",\"" + refs + "\"").c_str(), id);
        lib.fire(260, "OK", id);
        loop.runUntilIdle();
    }
    void report(int ref, const std::string& number, int st) {
        const std::string t = "\"" + std::to_string(ref) + "\",\"" + number + "\",\"" +
                              std::to_string(st) + "\",\"261207095959\",\"261207100001\"";
        lib.fire(4100, t.c_str(), 1);
        loop.runUntilIdle();
    }
    std::string sidecar() {
        const fs::path p = DeliveryReports::pathFor(MailboxFilePath(dir.path, SentBox));
        return fs::exists(p) ? storetest::readFile(p) : std::string("<none>");
    }
    std::string shown(int row) {
        return platform::codepage::gbkToUtf8(
            core->messageList().shownText(SentBox, core->store().box(SentBox).row(row).rec));
    }
};

TEST_F(DeliveryReportFlow, TickedSentRowShowsDeliveredWhenTheNetworkSaysSo) {
    start(true);
    EXPECT_EQ(g_asked, std::vector<int>{1});  // at start
    send("10010", "7");
    ASSERT_EQ(core->store().box(SentBox).size(), 1);
    // On disk with the row, before any report.
    EXPECT_NE(sidecar().find("10010\t"), std::string::npos);
    EXPECT_NE(sidecar().find("\t等待中\t-\t1\t7\tP\t"), std::string::npos) << sidecar();
    EXPECT_EQ(shown(0), "hello\n\n送达报告：等待中");
    PreviewWindow window;
    core->attachWindow(&window);
    core->messageList().ShowMailbox(SentBox);
    auto& previews = window.previews;
    report(7, "10010", 0);
    EXPECT_NE(sidecar().find("\t已送达\t2026-12-07 10:00:01\t"), std::string::npos) << sidecar();
    // The selected row's preview shows it without another click.
    ASSERT_FALSE(previews.empty());
    EXPECT_EQ(previews.back(), "hello\n\n送达报告：已送达 12-07 10:00:01");
    core->attachWindow(nullptr);
    EXPECT_EQ(shown(0), "hello\n\n送达报告：已送达 12-07 10:00:01");

    // A report for a row deleted meanwhile is dropped with it.
    send("10086", "8");
    core->store().box(SentBox).removeRows({1});
    report(8, "10086", 0);
    EXPECT_EQ(sidecar().find("10086\t"), std::string::npos) << sidecar();

    // Unticked in the properties dialog: the library is told at once.
    core->settingsDialogHook = [](PropertiesModel& m) {
        EXPECT_TRUE(m.statusReports);
        m.statusReports = false;
        return 1;
    };
    core->command(cmd::Settings);
    EXPECT_EQ(g_asked, (std::vector<int>{1, 0}));
    EXPECT_EQ(reg.getDword(std::string(Settings::kProfileKey) + "\\Settings", "StatusReport"),
              std::optional<uint32_t>(0));
    // OK again without a change says nothing more to the library.
    core->settingsDialogHook = [](PropertiesModel&) { return 1; };
    core->command(cmd::Settings);
    EXPECT_EQ(g_asked.size(), 2u);
}

TEST_F(DeliveryReportFlow, UntickedNothingIsKeptOrShown) {
    start(false);
    EXPECT_EQ(g_asked, std::vector<int>{0});
    send("10010", "7");
    report(7, "10010", 0);  // the network's own idea: matched to nothing
    EXPECT_EQ(sidecar(), "<none>");
    EXPECT_EQ(shown(0), "hello");
}

TEST_F(DeliveryReportFlow, LibraryThatCannotAskTracksNothing) {
    start(true, false);
    EXPECT_TRUE(g_asked.empty());
    send("10010", "7");
    EXPECT_EQ(sidecar(), "<none>");
}

TEST_F(DeliveryReportFlow, PendingEntryOfAPreviousRunOlderThanAWeekGoesAtStart) {
    // A row sent long ago still waits in the sidecar; its row is there.
    storetest::writeFile(MailboxFilePath(dir.path, SentBox),
                         storetest::recordBytes(storetest::rec("10010", "old")));
    const int64_t now = platform::localTimeToEpochMs(loop.clock().localNow()) / 1000;
    DeliveryReports old;
    old.track(LongTexts::keyOf(storetest::rec("10010", "old")), 1, {3},
              now - DeliveryReports::kPendingSeconds - 1);
    ASSERT_TRUE(old.save(DeliveryReports::pathFor(MailboxFilePath(dir.path, SentBox))));
    start(true);
    EXPECT_EQ(core->store().box(SentBox).size(), 1);
    EXPECT_EQ(core->store().deliveryReports().entries().size(), 0u);
}

}  // namespace
}  // namespace msgdesk::test
