// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/InstallLayout.h"
#include "platform/ProgramOptions.h"

using namespace platform;
namespace fs = std::filesystem;

TEST(InstallLayout, InstalledOnlyInThePrefixBinWithoutABuildCacheBesideIt) {
    char tmpl[] = "/tmp/layout-XXXXXX";
    const fs::path prefix = ::mkdtemp(tmpl);
    fs::create_directories(prefix / "bin");
    const std::string bin = (prefix / "bin").string() + "/";
    EXPECT_TRUE(isInstalledProgram(bin, prefix.string()));
    EXPECT_TRUE(isInstalledProgram(bin, prefix.string() + "/"));
    EXPECT_FALSE(isInstalledProgram(bin, prefix.string() + "/usr"));
    EXPECT_FALSE(isInstalledProgram((prefix / "sbin").string() + "/", prefix.string()));
    EXPECT_FALSE(isInstalledProgram(bin, ""));
    // A build tree configured with this prefix: build/bin beside CMakeCache.txt.
    std::ofstream(prefix / "CMakeCache.txt") << "\n";
    EXPECT_FALSE(isInstalledProgram(bin, prefix.string()));
    fs::remove_all(prefix);
    // The test itself runs from the build tree.
    EXPECT_FALSE(runningInstalled());
}

TEST(InstallLayout, UserDataFollowsXdgDataHomeElseHome) {
    const char* oldXdg = std::getenv("XDG_DATA_HOME");
    const std::string keep = oldXdg ? oldXdg : "";
    ::setenv("XDG_DATA_HOME", "/x/data", 1);
    EXPECT_EQ(userDataDir("msgdesk"), fs::path("/x/data/kelvo/msgdesk"));
    ::setenv("XDG_DATA_HOME", "relative", 1);  // not absolute: ignored
    ::setenv("HOME", std::getenv("HOME") ? std::getenv("HOME") : "/root", 1);
    EXPECT_EQ(userDataDir("msgdesk"), fs::path(std::getenv("HOME")) / ".local/share/kelvo/msgdesk");
    if (oldXdg)
        ::setenv("XDG_DATA_HOME", keep.c_str(), 1);
    else
        ::unsetenv("XDG_DATA_HOME");
}

TEST(ProgramOptions, VersionAndHelpAnswerOtherArgumentsGoOn) {
    auto run = [](std::vector<const char*> args, std::string* printed) {
        std::vector<char*> argv;
        for (const char* a : args) argv.push_back(const_cast<char*>(a));
        char* buf = nullptr;
        size_t len = 0;
        std::FILE* out = ::open_memstream(&buf, &len);
        const int rc =
            answerInfoOptions(static_cast<int>(argv.size()), argv.data(), "prog", "usage\n", out);
        std::fclose(out);
        *printed = std::string(buf, len);
        std::free(buf);
        return rc;
    };
    std::string s;
    EXPECT_EQ(run({"prog", "--version"}, &s), 0);
    EXPECT_EQ(s, std::string("prog ") + programVersion() + "\n");
    EXPECT_EQ(run({"prog", "-platform", "offscreen", "--help"}, &s), 0);
    EXPECT_EQ(s, "usage\n");
    EXPECT_EQ(run({"prog", "-platform", "offscreen"}, &s), -1);
    EXPECT_EQ(s, "");
    EXPECT_EQ(run({"prog", "--versions"}, &s), -1);
}
