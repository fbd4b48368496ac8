// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/Shell.h"

namespace fs = std::filesystem;

TEST(Shell, OpensAnExistingDocumentWithTheDesktopHandler) {
    fs::path dir = fs::temp_directory_path() / ("shelltest" + std::to_string(::getpid()));
    fs::create_directories(dir);
    fs::path doc = dir / "guide.html";
    std::ofstream(doc) << "<html></html>";
    fs::path opener = dir / "opener.sh";
    fs::path mark = dir / "opened";
    std::ofstream(opener) << "#!/bin/sh\necho \"$1\" > " << mark.string() << "\n";
    fs::permissions(opener, fs::perms::owner_all);
    setenv("XDG_OPEN_PROGRAM", opener.c_str(), 1);
    EXPECT_GT(platform::ShellExecuteA("open", doc.c_str()), 32);
    for (int i = 0; i < 200 && !fs::exists(mark); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream in(mark);
    std::string got;
    std::getline(in, got);
    EXPECT_EQ(got, doc.string());
    EXPECT_EQ(platform::ShellExecuteA("open", (dir / "missing.html").c_str()), 2);
    setenv("XDG_OPEN_PROGRAM", "none", 1);
    EXPECT_LE(platform::ShellExecuteA("open", doc.c_str()), 32);
    unsetenv("XDG_OPEN_PROGRAM");
    fs::remove_all(dir);
}
