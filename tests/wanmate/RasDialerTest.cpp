// SPDX-License-Identifier: GPL-3.0-or-later
// The dialer's work with the dial-up service: device search, the entry,
// dialling, status and hang-up.
#include <gtest/gtest.h>

#include "CRasDialer.h"
#include "FakeRas.h"
#include "ModemPreparation.h"
#include "WanmateCore.h"
#include "WanmateTestSupport.h"
#include "platform/SysfsUsbHost.h"
#include "platform/ras/PppRas.h"

using namespace wanmate;
using namespace wanmate::test;

namespace {

struct Rig {
    TempDir dir;
    FaultyRegistry registry{dir.path()};
    FixedVersion version{5};
    platform::ScriptedMessageBox box;
    FakeRas ras;
    CRasDialer dialer{ras, registry, version, box};
};

}  // namespace

TEST(RasDialer, TheEntryCarriesTheGivenNameServerOrNone) {
    // Through the real phonebook file: what is written is what is read.
    TempDir dir;
    platform::usb::SysfsUsbHost usb(dir.path());
    platform::ras::PppConfig config;
    platform::ras::PppRas ras(config, usb, platform::ras::RasPhonebook(dir.path() / "book.ini"),
                              nullptr);
    FaultyRegistry registry(dir.path());
    FixedVersion version(5);
    platform::ScriptedMessageBox box;
    CRasDialer d(ras, registry, version, box);
    struct Row {
        std::string dns;
        DWORD options;
        RASIPADDR server;
    } rows[] = {{dnsText(0), 0x310, {}},
                {dnsText(0x0A000001), 0x314, {10, 0, 0, 1}},
                {"  0.  0.  0.  1", 0x314, {0, 0, 0, 1}},
                {"255.255.255.255", 0x314, {255, 255, 255, 255}}};
    for (const auto& r : rows) {
        ASSERT_TRUE(d.SetDnsAddress(r.dns)) << r.dns;
        ASSERT_TRUE(d.CreateEntry(kEntryName));
        RASENTRYA e;
        ASSERT_EQ(ras.RasGetEntryPropertiesA(kEntryName, e), 0u);
        EXPECT_EQ(e.dwfOptions, r.options) << r.dns;
        EXPECT_EQ(e.ipaddrDns, r.server) << r.dns;
        EXPECT_EQ(e.dwSize, 1768u);
        EXPECT_EQ(e.dwFrameSize, 1500u);
        EXPECT_EQ(e.dwfNetProtocols, 4u);
        EXPECT_EQ(e.dwFramingProtocol, 1u);
        EXPECT_EQ(e.szDeviceType, "modem");
    }
    EXPECT_EQ(dnsText(0x0A000001), " 10.  0.  0.  1");
}

TEST(RasDialer, TextLimits) {
    Rig r;
    EXPECT_TRUE(r.dialer.SetPhoneNumber(std::string(39, '1')));
    EXPECT_FALSE(r.dialer.SetPhoneNumber(std::string(40, '2')));
    EXPECT_EQ(r.dialer.phoneNumber(), std::string(39, '1'));
    EXPECT_FALSE(r.dialer.SetDnsAddress("  0.  0.  0. 1"));
    EXPECT_FALSE(r.dialer.SetDnsAddress("  0.  0.  0.  10"));
    EXPECT_TRUE(r.dialer.SetDnsAddress("  0.  0.  0.  1"));
    EXPECT_FALSE(r.dialer.CreateEntry(std::string(200, 'n')));
    EXPECT_TRUE(r.dialer.CreateEntry(std::string(199, 'n')));
}

TEST(RasDialer, TheLastKelvoDeviceIsKeptAndDialIsRefusedWithoutOne) {
    Rig r;
    r.ras.devices = {{"modem", "Other modem"}, {"modem", "kelvo lower case"}};
    EXPECT_EQ(r.dialer.FindModemDevice(), 0);
    EXPECT_FALSE(r.dialer.Dial());
    EXPECT_TRUE(r.ras.dialed.empty());
    r.ras.devices = {{"modem", "Kelvo Zunto Modem (ttyUSB0)"},
                     {"modem", "Other"},
                     {"modem", "Kelvo Zunto Modem (ttyUSB2)"}};
    EXPECT_EQ(r.dialer.FindModemDevice(), 2);
    EXPECT_EQ(r.dialer.deviceName(), "Kelvo Zunto Modem (ttyUSB2)");
    r.dialer.SetPhoneNumber("*99#");
    ASSERT_TRUE(r.dialer.CreateEntry(kEntryName));
    EXPECT_EQ(r.ras.entries[kEntryName].szDeviceName, "Kelvo Zunto Modem (ttyUSB2)");
    EXPECT_EQ(r.ras.deleted, std::vector<std::string>{kEntryName});  // rewritten each time
}

TEST(RasDialer, ARefusedDialShowsTheErrorAndReleasesTheHandle) {
    Rig r;
    r.ras.devices = {{"modem", "Kelvo Zunto Modem (ttyUSB0)"}};
    r.dialer.FindModemDevice();
    r.dialer.CreateEntry(kEntryName);
    r.ras.dialResult = ERROR_PORT_OR_DEVICE;
    r.ras.dialHandleOnFailure = 9;
    EXPECT_FALSE(r.dialer.Dial());
    ASSERT_EQ(r.box.shown.size(), 1u);
    EXPECT_EQ(r.box.shown[0].text, *rasErrorText(ERROR_PORT_OR_DEVICE));
    // The caption a box without one gets, and not over the settings window.
    EXPECT_EQ(r.box.shown[0].caption, "错误");
    EXPECT_TRUE(r.box.shown[0].ownerless);
    EXPECT_EQ(r.dialer.refusal(), *rasErrorText(ERROR_PORT_OR_DEVICE));
    EXPECT_EQ(r.box.shown[0].icon, platform::MbIcon::Stop);
    EXPECT_EQ(r.ras.hungUp, std::vector<HRASCONN>{9});
    EXPECT_EQ(r.dialer.handle(), 0u);
    // Accepted: the handle is kept; with a link up nothing is dialled.
    r.ras.dialResult = 0;
    EXPECT_TRUE(r.dialer.Dial());
    EXPECT_EQ(r.dialer.handle(), 77u);
    EXPECT_FALSE(r.dialer.Dial());
    EXPECT_EQ(r.ras.dialed.size(), 2u);
}

TEST(RasDialer, StatusWithAndWithoutAHandle) {
    Rig r;
    EXPECT_EQ(r.dialer.GetConnectionStatus(), ConnectionStatus::NotConnected);
    r.ras.connections = {5};
    EXPECT_EQ(r.dialer.GetConnectionStatus(), ConnectionStatus::Connected);
    r.ras.connections = {5, 6};  // room for one only
    EXPECT_EQ(r.dialer.GetConnectionStatus(), ConnectionStatus::NotConnected);
    // HangUpAll learns the size and hangs up both.
    r.dialer.HangUpAll();
    EXPECT_EQ(r.ras.hungUp, (std::vector<HRASCONN>{5, 6}));
    r.ras.hungUp.clear();
    r.ras.connections = {};
    r.dialer.HangUpAll();
    EXPECT_TRUE(r.ras.hungUp.empty());
    // With a handle: up, then dropped (hung up and cleared).
    r.ras.devices = {{"modem", "Kelvo Zunto Modem (ttyUSB0)"}};
    r.dialer.FindModemDevice();
    r.dialer.CreateEntry(kEntryName);
    ASSERT_TRUE(r.dialer.Dial());
    EXPECT_EQ(r.dialer.GetConnectionStatus(), ConnectionStatus::Connected);
    r.ras.handleState = RASCS_Disconnected;
    EXPECT_EQ(r.dialer.GetConnectionStatus(), ConnectionStatus::Dropped);
    EXPECT_EQ(r.ras.hungUp, std::vector<HRASCONN>{77});
    EXPECT_EQ(r.dialer.handle(), 0u);
    EXPECT_EQ(r.dialer.GetConnectionStatus(), ConnectionStatus::NotConnected);
}

TEST(RasDialer, TheInitCommandOfTheModemsPort) {
    TempDir dir;
    FaultyRegistry reg(dir.path());
    EXPECT_EQ(userInitForPort(reg, 2, "/dev/ttyUSB0"), "");
    registerModemPorts(reg, 2, {"ttyUSB0", "ttyUSB3"});
    EXPECT_EQ(userInitForPort(reg, 2, "/dev/ttyUSB0"), "");
    WriteUserInit(reg, modemClassKey(2), "AT+CGDCONT=1,\"IP\",\"CMNET\"");
    reg.setValue(Hive::LocalMachine, std::string(modemClassKey(2)) + "\\ttyUSB3", "UserInit",
                 {platform::RegType::Sz, std::string("AT3\0", 4)});
    EXPECT_EQ(userInitForPort(reg, 2, "/dev/ttyUSB3"), "AT3");
    EXPECT_EQ(userInitForPort(reg, 2, "/dev/ttyUSB0"), "AT+CGDCONT=1,\"IP\",\"CMNET\"");
    // A simulated modem's port has no key of its own: any key's command.
    EXPECT_EQ(userInitForPort(reg, 2, "/tmp/zs/modem1"), "AT+CGDCONT=1,\"IP\",\"CMNET\"");
}
