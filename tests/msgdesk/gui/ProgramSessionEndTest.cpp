// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

// The end of the desktop session (SIGTERM) closes Msgdesk in its normal
// order: the settings are written and the mailboxes saved, exit status 0.
TEST(MsgdeskProgram, SessionEndSignalClosesInOrderAndSaves) {
    const std::string bin = ZUNTO_BIN_DIR;
    if (!fs::exists(bin + "/libmodlink.so")) GTEST_SKIP() << "needs libmodlink.so beside msgdesk";
    fs::path dir = fs::temp_directory_path() / ("sessionend-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0) _exit(126);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("KELVO_REGISTRY_DIR", dir.c_str(), 1);
        unsetenv("MODLINK_PORTS");  // no modem: the link comes up with no device
        execl((bin + "/msgdesk").c_str(), "msgdesk", nullptr);
        _exit(127);
    }
    // Wait for the program to be up (its mailboxes exist once it has started).
    for (int i = 0; i < 500 && !fs::exists(dir / "data" / "DeleteBox.db"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    kill(pid, SIGTERM);
    int status = -1;
    for (int i = 0; i < 500; ++i) {
        if (waitpid(pid, &status, WNOHANG) == pid) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (i == 499) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            FAIL() << "msgdesk did not end within 5 s of SIGTERM";
        }
    }
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    std::ifstream reg(dir / "user.reg");
    std::stringstream ss;
    ss << reg.rdbuf();
    EXPECT_NE(ss.str().find("\"Resend\"=dword:00000005"), std::string::npos) << ss.str();
    EXPECT_TRUE(fs::exists(dir / "data" / "InBox.db"));
    EXPECT_TRUE(fs::exists(dir / "data" / "contact.db"));
    fs::remove_all(dir);
}
