// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "device/DeviceBinding.h"

namespace msgdesk {
namespace {

TEST(DeviceBinding, LibraryWithoutTheNamesLeavesEverySlotEmpty) {
    const std::string fixture = std::string(ZUNTO_BIN_DIR) + "/libdynfixture.so";
    if (!std::filesystem::exists(fixture)) GTEST_SKIP() << "no " << fixture;
    setenv("MODLINK_LIBRARY", fixture.c_str(), 1);
    DeviceBinding b;
    const bool ok = b.load();
    unsetenv("MODLINK_LIBRARY");
    ASSERT_TRUE(ok);
    EXPECT_TRUE(b.loaded());
    EXPECT_EQ(b.resolvedCount(), 0);
    EXPECT_EQ(b.library().InitModules, nullptr);
    EXPECT_EQ(b.library().SendUssd, nullptr);  // an older library: the query says so
    b.unload();
    EXPECT_FALSE(b.loaded());
}

TEST(DeviceBinding, MissingLibraryFails) {
    setenv("MODLINK_LIBRARY", "/nonexistent/libmodlink.so", 1);
    DeviceBinding b;
    EXPECT_FALSE(b.load());
    unsetenv("MODLINK_LIBRARY");
    EXPECT_FALSE(b.loaded());
    EXPECT_EQ(b.resolvedCount(), 0);
}

TEST(DeviceBinding, RealLibraryResolvesAllNames) {
    const std::string lib = std::string(ZUNTO_BIN_DIR) + "/libmodlink.so";
    if (!std::filesystem::exists(lib)) GTEST_SKIP() << "no " << lib;
    setenv("MODLINK_LIBRARY", lib.c_str(), 1);
    DeviceBinding b;
    const bool ok = b.load();
    unsetenv("MODLINK_LIBRARY");
    ASSERT_TRUE(ok);
    EXPECT_EQ(b.resolvedCount(), 26);
    // The additions, looked up by name like the others.
    EXPECT_NE(b.library().SetStatusReports, nullptr);
    EXPECT_NE(b.library().SendUssd, nullptr);
    EXPECT_NE(b.library().CancelUssd, nullptr);
}

}  // namespace
}  // namespace msgdesk
