// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "CUsbDeviceCounter.h"
#include "WanmateTestSupport.h"

namespace wanmate {
namespace {

using platform::usb::SysfsUsbHost;

class UsbDeviceCounterTest : public ::testing::Test {
protected:
    int count() {
        SysfsUsbHost host(tree.root());
        CUsbDeviceCounter counter(host);
        counter.ScanDevices();
        return counter.GetDeviceCount();
    }

    test::TempDir dir;
    test::SysfsTree tree{dir.path()};
};

TEST_F(UsbDeviceCounterTest, NoHostControllerCountsNothing) {
    EXPECT_EQ(count(), 0);
    SysfsUsbHost missing(dir.path() / "nowhere");
    CUsbDeviceCounter counter(missing);
    counter.ScanDevices();
    EXPECT_EQ(counter.GetDeviceCount(), 0);
}

TEST_F(UsbDeviceCounterTest, TwoModemsOnOneHubCountTwoAndOtherIdsNothing) {
    tree.hub("usb1", 4);
    tree.modem("1-1");
    tree.modem("1-4");
    tree.device("1-2", 0x1A7C, 0x3D42);
    tree.device("1-3", 0x1A7D, 0x3D41);
    tree.modem("1-5");  // beyond the hub's last port
    EXPECT_EQ(count(), 2);
    tree.unplug("1-4");
    EXPECT_EQ(count(), 1) << "each scan starts from 0";
}

TEST_F(UsbDeviceCounterTest, ModemsBehindExternalHubsAreCountedAtAnyDepth) {
    tree.hub("usb2", 2);
    tree.hub("2-1", 4);
    tree.modem("2-1.3");
    tree.hub("2-1.4", 2);
    tree.modem("2-1.4.2");
    tree.modem("2-2");
    EXPECT_EQ(count(), 3);
}

TEST_F(UsbDeviceCounterTest, ControllersAreWalkedInBusOrderUpToTwenty) {
    // Bus numbers with a gap still make consecutive controllers.
    tree.hub("usb1", 1);
    tree.hub("usb3", 1);
    tree.modem("1-1");
    tree.modem("3-1");
    EXPECT_EQ(count(), 2);

    for (int bus = 4; bus <= 22; ++bus) {
        tree.hub("usb" + std::to_string(bus), 1);
        tree.modem(std::to_string(bus) + "-1");
    }
    EXPECT_EQ(count(), 20) << "21 controllers: the 21st is not asked";
}

// A tree whose root hub names are given, to reach the name length limit.
class NamedRootHost final : public platform::usb::UsbHost {
public:
    struct Root final : platform::usb::Controller {
        explicit Root(std::string n) : name(std::move(n)) {}
        std::optional<std::string> rootHubName() override { return name; }
        std::string name;
    };
    struct OneModemHub final : platform::usb::Hub {
        std::optional<int> portCount() override { return 1; }
        std::optional<std::string> attachedHubName(int) override { return std::nullopt; }
        std::optional<platform::usb::DeviceIds> connectionInfo(int) override {
            return platform::usb::DeviceIds{0x1A7C, 0x3D41};
        }
    };
    std::unique_ptr<platform::usb::Controller> openController(int n) override {
        if (n >= static_cast<int>(names.size())) return nullptr;
        return std::make_unique<Root>(names[static_cast<size_t>(n)]);
    }
    std::unique_ptr<platform::usb::Hub> openHub(const std::string&) override {
        return std::make_unique<OneModemHub>();
    }
    std::vector<std::string> serialPorts(platform::usb::DeviceIds) override { return {}; }
    std::vector<std::string> names;
};

TEST(UsbDeviceCounterNames, ARootHubNameOfFiveHundredCharactersEndsTheScan) {
    NamedRootHost host;
    CUsbDeviceCounter counter(host);
    host.names = {"a", std::string(499, 'b'), "c"};
    counter.ScanDevices();
    EXPECT_EQ(counter.GetDeviceCount(), 3);
    host.names = {"a", std::string(500, 'b'), "c"};
    counter.ScanDevices();
    EXPECT_EQ(counter.GetDeviceCount(), 1);
}

TEST_F(UsbDeviceCounterTest, SerialPortsNameTheFirstTtyOfEachModem) {
    tree.hub("usb1", 3);
    tree.modem("1-1", "ttyUSB10");
    std::filesystem::create_directories(tree.devices() / "1-1" / "1-1:1.2" / "ttyUSB9");
    tree.modem("1-2");
    std::filesystem::create_directories(tree.devices() / "1-2" / "1-2:1.0" / "tty" / "ttyACM0");
    tree.modem("1-3");  // no serial interface bound yet
    tree.device("1-4", 0x1234, 0x5678);
    std::filesystem::create_directories(tree.devices() / "1-4" / "1-4:1.0" / "ttyUSB0");
    SysfsUsbHost host(tree.root());
    EXPECT_EQ(host.serialPorts({0x1A7C, 0x3D41}), (std::vector<std::string>{"ttyUSB9", "ttyACM0"}));
}

// The table's modems are counted as the Zunto modem is, and each is dialled
// on the interface the table names for data: one USB tree, a row per device.
TEST_F(UsbDeviceCounterTest, TableModemsCountAndDialOnTheirDataInterface) {
    auto table = platform::usb::ModemTable::parse(
        "12d1:1001 at=2,1 data=0 Huawei E1550\n"
        "2c7c:0125 at=2,3 data=3 Quectel EC25\n"
        "1199:9071 at=3 Sierra Wireless EM7455\n"  // no data=: its first AT interface
        "1546:1141 at=any u-blox SARA-U2\n");      // any: its first serial port
    struct Row {
        const char* dev;
        unsigned vid, pid;
        std::vector<std::pair<int, const char*>> ports;  // interface, tty
        const char* dataPort;                            // "" when none
    };
    const std::vector<Row> rows = {
        {"1-1", 0x12d1, 0x1001, {{0, "ttyUSB0"}, {1, "ttyUSB1"}, {2, "ttyUSB2"}}, "ttyUSB0"},
        {"1-2", 0x2c7c, 0x0125, {{1, "ttyUSB11"}, {2, "ttyUSB12"}, {3, "ttyUSB13"}}, "ttyUSB13"},
        {"1-3", 0x1199, 0x9071, {{0, "ttyUSB20"}, {3, "ttyUSB21"}}, "ttyUSB21"},
        {"1-4", 0x1546, 0x1141, {{2, "ttyACM4"}, {0, "ttyACM3"}}, "ttyACM3"},
        {"1-5", 0x1A7C, 0x3D41, {{2, "ttyUSB9"}, {0, "ttyUSB10"}}, "ttyUSB9"},  // as ever
        {"1-6", 0x0403, 0x6001, {{0, "ttyUSB30"}}, ""},                         // an adapter
        {"1-7", 0x2c7c, 0x0125, {{2, "ttyUSB40"}}, ""},  // its data interface not bound yet
    };
    tree.hub("usb1", static_cast<int>(rows.size()));
    std::vector<std::string> want;
    for (const auto& r : rows) {
        tree.device(r.dev, r.vid, r.pid);
        for (auto [intf, tty] : r.ports) {
            std::string name = std::string(r.dev) + ":1." + std::to_string(intf);
            bool acm = std::string(tty).rfind("ttyACM", 0) == 0;
            std::filesystem::create_directories(tree.devices() / r.dev / name /
                                                (acm ? std::string("tty/") + tty : tty));
        }
        if (*r.dataPort) want.push_back(r.dataPort);
    }
    SysfsUsbHost host(tree.root());
    CUsbDeviceCounter counter(host, table);
    counter.ScanDevices();
    EXPECT_EQ(counter.GetDeviceCount(), 6);
    EXPECT_EQ(host.dataPorts(counter.table()), want);
    // Without the table, the Zunto modem alone, as before.
    CUsbDeviceCounter plain(host);
    plain.ScanDevices();
    EXPECT_EQ(plain.GetDeviceCount(), 1);
    EXPECT_EQ(host.dataPorts({}), std::vector<std::string>{"ttyUSB9"});
}

TEST(UsbDeviceCounterHost, ThisMachinesOwnTreeHoldsNoModem) {
    SysfsUsbHost host("/sys");
    CUsbDeviceCounter counter(host);
    counter.ScanDevices();
    EXPECT_EQ(counter.GetDeviceCount(), 0);
    EXPECT_TRUE(host.serialPorts({0x1A7C, 0x3D41}).empty());
}

}  // namespace
}  // namespace wanmate
