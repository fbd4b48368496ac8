// SPDX-License-Identifier: GPL-3.0-or-later
// One dial attempt as the progress dialog runs it, on the virtual clock:
// waits, device search, entry, progress texts, failures, redial, cancel.
#include <gtest/gtest.h>

#include <fstream>
#include <utility>

#include "DialProgress.h"
#include "FakeRas.h"
#include "ModemPreparation.h"
#include "WanmateCore.h"
#include "WanmateMessages.h"
#include "WanmateTestSupport.h"
#include "platform/ManualMessageLoop.h"
#include "platform/SysfsUsbHost.h"
#include "platform/ras/PppProgress.h"
#include "res/Texts.h"

using namespace wanmate;
using namespace wanmate::test;

namespace {

struct FakeView final : DialProgressView {
    void setStatusText(const std::string& t) override { statuses.push_back(t); }
    void setButtonText(const std::string& t) override { button = t; }
    void disableButton() override { enabled = false; }
    void hideWindow() override { hidden = true; }
    void endDialog(int r) override { result = r; }
    std::vector<std::string> statuses;
    std::string button = text::kCancel;
    bool enabled = true, hidden = false;
    int result = -1;
};

struct ParentWindow final : platform::MessageTarget {
    std::intptr_t onMessage(const platform::Message& m) override {
        if (m.msg == WM_DIAL_REQUEST) ++dialRequests;
        return 0;
    }
    int dialRequests = 0;
};

struct Rig {
    explicit Rig(DialRequest req = {1, "  0.  0.  0.  0", "AT", ""}) : request(std::move(req)) {
        ras.devices = {{"modem", "Kelvo Zunto Modem (ttyUSB0)"}};
    }
    DialProgress& start() {
        progress = std::make_unique<DialProgress>(loop, dialer, box, view, &parent, request);
        progress->start();
        return *progress;
    }
    // Start, then the 1 s start wait and the 1 s wait after the entry.
    DialProgress& startAndDial() {
        start();
        loop.advance(2000);
        EXPECT_EQ(ras.dialed.size(), 1u);
        return *progress;
    }
    void notify(RASCONNSTATE s, DWORD e = 0) {
        ASSERT_TRUE(ras.notifier);
        ras.notifier(0, s, e);
        loop.runUntilIdle();
    }

    TempDir dir;
    FaultyRegistry registry{dir.path()};
    FixedVersion version{5};
    platform::ManualMessageLoop loop;
    platform::ScriptedMessageBox box;
    FakeRas ras;
    CRasDialer dialer{ras, registry, version, box};
    FakeView view;
    ParentWindow parent;
    DialRequest request;
    std::unique_ptr<DialProgress> progress;
};

}  // namespace

TEST(DialProgress, StartsAfterOneSecondAndDialsOneSecondAfterTheEntry) {
    Rig r({1, " 10.  0.  0.  1", "AT+CGDCONT=1,\"IP\",\"CMNET\"", ""});
    registerModemPorts(r.registry, 2, {"ttyUSB0"});
    r.start();
    EXPECT_EQ(r.view.statuses, std::vector<std::string>{text::kInitialising});
    r.loop.advance(999);
    EXPECT_EQ(r.ras.enumCalls, 0);
    r.loop.advance(1);
    EXPECT_EQ(r.ras.enumCalls, 1);
    ASSERT_EQ(r.ras.entries.count(kEntryName), 1u);
    // An empty number is dialled as *99#; the name server is given.
    EXPECT_EQ(r.ras.entries[kEntryName].szLocalPhoneNumber, "*99#");
    EXPECT_EQ(r.ras.entries[kEntryName].dwfOptions, 0x314u);
    EXPECT_EQ(r.registry.machine.getString(std::string(modemClassKey(2)) + "\\ttyUSB0", "UserInit"),
              "AT+CGDCONT=1,\"IP\",\"CMNET\"");
    r.loop.advance(999);
    EXPECT_TRUE(r.ras.dialed.empty());
    r.loop.advance(1);
    EXPECT_EQ(r.ras.dialed, std::vector<std::string>{kEntryName});
}

TEST(DialProgress, TenSearchesOneSecondApartThenTheReplugText) {
    Rig r;
    r.ras.devices = {};
    r.start();
    r.loop.advance(1000);  // search 1
    r.loop.advance(9000);  // searches 2..10
    EXPECT_EQ(r.ras.enumCalls, 10);
    EXPECT_EQ(r.view.button, text::kCancel);
    r.loop.advance(999);  // the tenth failure is followed by its wait too
    EXPECT_EQ(r.view.button, text::kCancel);
    r.loop.advance(1);
    EXPECT_EQ(r.ras.enumCalls, 10);
    EXPECT_EQ(r.view.statuses.back(), text::kReplugDevice);
    EXPECT_EQ(r.view.button, text::kOk);
    EXPECT_TRUE(r.progress->quiet());
    EXPECT_FALSE(r.progress->finished());
    EXPECT_TRUE(r.ras.dialed.empty());

    // Found at the tenth search: dialled.
    Rig late;
    late.ras.devices = {};
    late.start();
    late.loop.advance(1000 + 8000);
    late.ras.devices = {{"modem", "Kelvo Zunto Modem (ttyUSB0)"}};
    late.loop.advance(1000 + 1000);
    EXPECT_EQ(late.ras.enumCalls, 10);
    EXPECT_EQ(late.ras.dialed.size(), 1u);
}

TEST(DialProgress, StopsWithoutDiallingAndTheButtonThenHangsNothingUp) {
    struct Row {
        int count;
        std::vector<HRASCONN> up;
        bool failEntry;
        const char* text;
    } rows[] = {{0, {}, false, text::kReplugDevice},
                {1, {5}, false, text::kAlreadyConnected},
                {1, {}, true, text::kEntryFailed}};
    for (const auto& row : rows) {
        Rig r({row.count, "  0.  0.  0.  0", "AT", "*99#"});
        r.ras.connections = row.up;
        r.ras.failSet = row.failEntry;
        r.start();
        r.loop.advance(5000);
        EXPECT_EQ(r.view.statuses.back(), row.text);
        EXPECT_EQ(r.view.button, text::kOk);
        EXPECT_TRUE(r.progress->finished());
        EXPECT_TRUE(r.ras.dialed.empty());
        r.progress->cancel();
        EXPECT_TRUE(r.ras.hungUp.empty());
        EXPECT_EQ(r.view.result, platform::IDCANCEL);
    }
}

TEST(DialProgress, StatusTextsByStateAndTheButtonLocksAtConnectDevice) {
    Rig r;
    r.startAndDial();
    const std::pair<RASCONNSTATE, const char*> rows[] = {
        {RASCS_OpenPort, text::kOpeningPort},
        {RASCS_PortOpened, ""},  // not listed: blanks the label
        {RASCS_ConnectDevice, text::kConnectingDevice},
        {RASCS_DeviceConnected, text::kDeviceConnected},
        {RASCS_AllDevicesConnected, text::kDeviceConnected},
        {RASCS_Authenticate, text::kAuthenticating},
        {RASCS_AuthNotify, text::kRegistering},
        {RASCS_AuthProject, text::kRegistering},
        {RASCS_Authenticated, text::kRegistering},
        {RASCS_Projected, text::kRegistering},
        {RASCONNSTATE(19), ""},
    };
    for (auto [state, t] : rows) {
        if (state == RASCS_ConnectDevice) EXPECT_TRUE(r.view.enabled);
        r.notify(state);
        EXPECT_EQ(r.view.statuses.back(), t) << state;
    }
    EXPECT_FALSE(r.view.enabled);
    EXPECT_EQ(r.view.result, -1);
    r.notify(RASCS_Connected);
    EXPECT_EQ(r.view.result, platform::IDOK);
    EXPECT_TRUE(r.ras.hungUp.empty());  // the link stays up
    EXPECT_TRUE(r.box.shown.empty());
}

TEST(DialProgress, AFailureAsksToRedialAndYesPostsADialRequest) {
    for (int answer : {platform::IDYES, platform::IDNO}) {
        Rig r;
        r.startAndDial();
        r.box.answers = {answer};
        // The link's last notices arrive while the question is open: they
        // neither ask again nor hang up or redial a second time.
        bool delivered = false;
        r.box.whileOpen = [&r, &delivered](const platform::MessageBoxRequest&) {
            if (std::exchange(delivered, true)) return;
            r.ras.notifier(0, RASCS_Disconnected, ERROR_NO_CARRIER);
            r.loop.runUntilIdle();
        };
        r.notify(RASCS_ConnectDevice, ERROR_NO_CARRIER);
        ASSERT_EQ(r.box.shown.size(), 1u);
        EXPECT_EQ(r.box.shown[0].text, *rasErrorText(ERROR_NO_CARRIER) + "您需要重新拨号吗?");
        EXPECT_EQ(r.box.shown[0].caption, "连接错误");
        EXPECT_EQ(r.box.shown[0].buttons, platform::MbButtons::YesNo);
        EXPECT_EQ(r.ras.hungUp, std::vector<HRASCONN>{77});
        EXPECT_EQ(r.view.result, 0);
        EXPECT_EQ(r.parent.dialRequests, answer == platform::IDYES ? 1 : 0);
        EXPECT_EQ(r.progress->quiet(), answer == platform::IDNO);
        // Nothing more is shown for later notices.
        r.notify(RASCS_Disconnected, ERROR_NO_CARRIER);
        EXPECT_EQ(r.box.shown.size(), 1u);
    }
}

TEST(DialProgress, Error692AsksToReplugAndUnknownErrorsHaveTheirOwnText) {
    Rig r;
    r.startAndDial();
    r.notify(RASCS_OpenPort, ERROR_PORT_OR_DEVICE);
    ASSERT_EQ(r.box.shown.size(), 1u);
    EXPECT_EQ(r.box.shown[0].text,
              *rasErrorText(ERROR_PORT_OR_DEVICE) + "请拔下设备等候10秒后重新插入!");
    EXPECT_EQ(r.box.shown[0].caption, "连接错误");
    EXPECT_EQ(r.box.shown[0].buttons, platform::MbButtons::Ok);
    EXPECT_EQ(r.view.result, 0);
    EXPECT_EQ(r.parent.dialRequests, 0);

    // ModemManager kept the modem: its one sentence, no redial question.
    Rig m;
    m.startAndDial();
    m.notify(RASCS_OpenPort, ERROR_MODEM_MANAGER_REFUSED);
    ASSERT_EQ(m.box.shown.size(), 1u);
    EXPECT_EQ(m.box.shown[0].text, wanmate::text::kManagerRefused);
    EXPECT_EQ(m.box.shown[0].buttons, platform::MbButtons::Ok);
    EXPECT_EQ(m.parent.dialRequests, 0);

    Rig u;
    u.startAndDial();
    u.notify(RASCS_Projected, 65000);
    ASSERT_EQ(u.box.shown.size(), 1u);
    EXPECT_EQ(u.box.shown[0].text, "未知错误发生!!!您需要重新拨号吗?");
}

TEST(DialProgress, ALateDisconnectionWithAnErrorIsReportedWithoutOneItClosesAsOk) {
    Rig r;
    r.startAndDial();
    r.box.answers = {platform::IDYES};
    r.notify(RASCS_Disconnected, ERROR_PORT_DISCONNECTED);
    ASSERT_EQ(r.box.shown.size(), 1u);
    EXPECT_EQ(r.box.shown[0].text, *rasErrorText(ERROR_PORT_DISCONNECTED) + "您需要重新拨号吗?");
    EXPECT_EQ(r.parent.dialRequests, 1);
    EXPECT_EQ(r.view.result, 0);

    Rig ok;
    ok.startAndDial();
    ok.notify(RASCS_Disconnected, 0);
    EXPECT_TRUE(ok.box.shown.empty());
    EXPECT_EQ(ok.view.result, platform::IDOK);
}

TEST(DialProgress, CancelWhileDiallingHangsUpAndLaterNoticesAreIgnored) {
    Rig r;
    r.startAndDial();
    r.notify(RASCS_OpenPort);
    auto notifier = r.ras.notifier;
    r.progress->cancel();
    EXPECT_TRUE(r.view.hidden);
    EXPECT_EQ(r.ras.hungUp, std::vector<HRASCONN>{77});
    EXPECT_EQ(r.view.result, platform::IDCANCEL);
    size_t statuses = r.view.statuses.size();
    notifier(0, RASCS_Connected, 0);  // the service's late word
    r.loop.runUntilIdle();
    EXPECT_EQ(r.view.statuses.size(), statuses);
    EXPECT_EQ(r.view.result, platform::IDCANCEL);
    // Cancel during the start wait: nothing is searched afterwards.
    Rig early;
    early.start();
    early.progress->cancel();
    early.loop.advance(5000);
    EXPECT_EQ(early.ras.enumCalls, 0);
}

TEST(DialProgress, ARefusedDialLeavesTheDialogOnItsStartText) {
    Rig r;
    r.ras.dialResult = ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
    r.start();
    r.loop.advance(2000);
    ASSERT_EQ(r.box.shown.size(), 1u);
    EXPECT_EQ(r.box.shown[0].icon, platform::MbIcon::Stop);
    EXPECT_EQ(r.view.statuses.back(), text::kInitialising);
    EXPECT_EQ(r.view.result, -1);
}

// A captured pppd session drives the dialog through the real notifier.
TEST(DialProgress, APppdSessionThatEndsInNoCarrierAsksToRedial) {
    Rig r;
    r.startAndDial();
    platform::ras::PppProgress p;
    std::ifstream in(std::string(ZUNTO_TEST_DATA) + "/wanmate/ppp/nocarrier.log");
    std::string line;
    auto send = [&](const std::vector<platform::ras::PppProgress::Notice>& ns) {
        for (auto n : ns) r.ras.notifier(0, n.state, n.error);
    };
    send(p.begin());
    while (std::getline(in, line))
        if (line.rfind("# ", 0) != 0) send(p.onLine(line));
    r.box.answers = {platform::IDNO};
    r.loop.runUntilIdle();
    EXPECT_EQ(r.view.statuses, (std::vector<std::string>{text::kInitialising, text::kOpeningPort,
                                                         text::kConnectingDevice}));
    ASSERT_EQ(r.box.shown.size(), 1u);
    EXPECT_EQ(r.box.shown[0].text, "无法检测到载波。您需要重新拨号吗?");
}

TEST(WanmateCoreDial, TheRequestCarriesTheSettingsCutToTheDialogsFields) {
    TempDir dir;
    FaultyRegistry reg(dir.path());
    FakeSettingsView view;
    FixedVersion version(5);
    platform::ManualMessageLoop loop;
    platform::ScriptedMessageBox box;
    platform::usb::SysfsUsbHost usb(dir.path());
    struct NoAutostart final : platform::AutostartPort {
        bool present() const override { return false; }
        bool install(const std::string&) override { return true; }
        bool remove() override { return true; }
    } autostart;
    FakeRas ras;
    WanmateCore core({loop, reg, usb, version, autostart, box, "/usr/bin/wanmate", &ras}, view);
    core.initialise();
    view.addr = 0x0A000001;
    core.settings().fields().dialNumber = std::string(19, '9') + "0";
    core.settings().fields().initCommand = std::string(48, 'A') + "\xD6\xD0";  // GBK 中 across 49
    DialRequest d = core.dialRequest();
    EXPECT_EQ(d.dnsText, " 10.  0.  0.  1");
    EXPECT_EQ(d.dialNumber, std::string(19, '9'));
    EXPECT_EQ(d.initCommand, std::string(48, 'A'));
    int dials = 0;
    core.setDialRequestHandler([&] { ++dials; });
    loop.post(&core, WM_DIAL_REQUEST);
    loop.runUntilIdle();
    EXPECT_EQ(dials, 1);
    // The tray menu by status and family.
    EXPECT_EQ(core.trayMenu(), (TrayMenuState{false, false, false}));
    ras.connections = {3};
    EXPECT_EQ(core.trayMenu(), (TrayMenuState{true, false, false}));
    EXPECT_EQ(trayMenuState(ConnectionStatus::Connected, 1), (TrayMenuState{true, true, false}));
    EXPECT_EQ(trayMenuState(ConnectionStatus::NotConnected, 1), (TrayMenuState{false, true, true}));
    EXPECT_EQ(trayMenuState(ConnectionStatus::Dropped, 1), (TrayMenuState{false, true, true}));
    core.hangUpAll();
    EXPECT_EQ(ras.hungUp, std::vector<HRASCONN>{3});
}
