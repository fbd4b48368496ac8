// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "platform/SysfsUsbHost.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

class SysfsUsbHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/sysfs-test-XXXXXX";
        m_dir = mkdtemp(tmpl);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    fs::path m_dir;
};

TEST_F(SysfsUsbHostTest, HubQueriesRejectMalformedAttributes) {
    fs::path dev = m_dir / "bus" / "usb" / "devices";
    auto put = [&](const std::string& d, const char* attr, const char* v) {
        fs::create_directories(dev / d);
        std::ofstream(dev / d / attr) << v;
    };
    put("usb1", "maxchild", "3");
    put("1-1", "idVendor", "1a7c");
    put("1-1", "idProduct", "zz");
    put("1-2", "idVendor", "10000");
    put("1-2", "idProduct", "3d41");
    put("1-3", "idVendor", "1a7c\n");
    put("1-3", "idProduct", "3d41\n");
    put("1-3", "maxchild", "0");
    usb::SysfsUsbHost host(m_dir);
    auto c = host.openController(0);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->rootHubName(), "usb1");
    EXPECT_FALSE(host.openController(1));
    EXPECT_FALSE(host.openHub("../usb1"));
    auto hub = host.openHub("usb1");
    ASSERT_TRUE(hub);
    EXPECT_EQ(hub->portCount(), 3);
    EXPECT_FALSE(hub->connectionInfo(1)) << "product id not hexadecimal";
    EXPECT_FALSE(hub->connectionInfo(2)) << "vendor id beyond 16 bits";
    ASSERT_TRUE(hub->connectionInfo(3));
    EXPECT_EQ(hub->connectionInfo(3)->product, 0x3D41);
    EXPECT_FALSE(hub->attachedHubName(3)) << "a device with no ports is no hub";
    put("usb1", "maxchild", "256");
    EXPECT_FALSE(hub->portCount());
}

}  // namespace
}  // namespace platform
