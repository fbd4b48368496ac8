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

TEST(UsbDeviceCounterHost, ThisMachinesOwnTreeHoldsNoModem) {
    SysfsUsbHost host("/sys");
    CUsbDeviceCounter counter(host);
    counter.ScanDevices();
    EXPECT_EQ(counter.GetDeviceCount(), 0);
    EXPECT_TRUE(host.serialPorts({0x1A7C, 0x3D41}).empty());
}

}  // namespace
}  // namespace wanmate
