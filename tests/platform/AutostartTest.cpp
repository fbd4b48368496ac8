// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "platform/XdgAutostart.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

class TempHome : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/autostart-test-XXXXXX";
        m_dir = mkdtemp(tmpl);
        setenv("XDG_CONFIG_HOME", m_dir.c_str(), 1);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    std::string read(const fs::path& p) {
        std::ifstream in(p);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    fs::path m_dir;
};

TEST_F(TempHome, AnEntryIsCreatedWithTheQuotedPathAndRemoved) {
    XdgAutostart a("wanmate", "KelvoZunto拨号器", "zunto-wanmate");
    EXPECT_EQ(a.entryPath(), m_dir / "autostart" / "wanmate.desktop");
    EXPECT_FALSE(a.present());
    EXPECT_TRUE(a.remove()) << "nothing to remove is no failure";

    ASSERT_TRUE(a.install("/home/u/my apps/wan$mate\"x"));
    EXPECT_TRUE(a.present());
    std::string text = read(a.entryPath());
    EXPECT_NE(text.find("[Desktop Entry]\nType=Application\nName=KelvoZunto拨号器\n"),
              std::string::npos);
    EXPECT_NE(text.find("Exec=\"/home/u/my apps/wan\\\\$mate\\\\\"x\"\nIcon=zunto-wanmate\n"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(m_dir / "autostart" / "wanmate.desktop.tmp"));

    EXPECT_TRUE(a.remove());
    EXPECT_FALSE(a.present());
}

TEST_F(TempHome, AnUnwritableDirectoryFailsTheInstall) {
    std::ofstream(m_dir / "autostart") << "a file where the directory should be";
    XdgAutostart a("wanmate", "x");
    EXPECT_FALSE(a.install("/bin/wanmate"));
    EXPECT_FALSE(a.present());
}

}  // namespace
}  // namespace platform
