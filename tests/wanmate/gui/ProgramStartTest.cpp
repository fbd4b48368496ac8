// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace {
// Starts a program offscreen, lets it run, ends it with SIGTERM and returns
// its exit status (-1 when it did not end within five seconds).
// The program's registry and autostart entries go to `home`.
int runThenTerminate(const char* program, const std::string& home = "") {
    pid_t pid = fork();
    if (pid == 0) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        if (!home.empty()) {
            setenv("KELVO_REGISTRY_DIR", home.c_str(), 1);
            setenv("XDG_CONFIG_HOME", home.c_str(), 1);
            setenv("KELVO_RUNTIME_DIR", home.c_str(), 1);
            setenv("WANMATE_RUN_DIR", (home + "/run").c_str(), 1);
        }
        execl(program, program, nullptr);
        _exit(127);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    kill(pid, SIGTERM);
    for (int i = 0; i < 500; ++i) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}
}  // namespace

TEST(WanmateProgram, FirstStartWritesTheSettingsAndExitsCleanlyOnSignal) {
    char tmpl[] = "/tmp/wanmate-start-XXXXXX";
    std::string home = mkdtemp(tmpl);
    std::ofstream(home + "/user.reg") << "Windows Registry Editor Version 5.00\n";
    EXPECT_EQ(runThenTerminate(ZUNTO_BIN_DIR "/wanmate", home), 0);
    std::ifstream in(home + "/user.reg");
    std::string reg((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(reg.find("[Software\\Kelvo GPRS Info]"), std::string::npos) << reg;
    EXPECT_NE(reg.find("\"Phone number\"=\"*99#\""), std::string::npos) << reg;
    std::filesystem::remove_all(home);
}

TEST(WanmateProgram, ASecondStartEndsAtOnceAndWritesNothing) {
    char tmpl[] = "/tmp/wanmate-twice-XXXXXX";
    std::string home = mkdtemp(tmpl);
    pid_t first = fork();
    if (first == 0) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("KELVO_REGISTRY_DIR", home.c_str(), 1);
        setenv("XDG_CONFIG_HOME", home.c_str(), 1);
        setenv("KELVO_RUNTIME_DIR", home.c_str(), 1);
        setenv("WANMATE_RUN_DIR", (home + "/run").c_str(), 1);
        execl(ZUNTO_BIN_DIR "/wanmate", ZUNTO_BIN_DIR "/wanmate", nullptr);
        _exit(127);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    std::string second = home + "/second";
    std::filesystem::create_directories(second);
    pid_t pid = fork();
    if (pid == 0) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("KELVO_REGISTRY_DIR", second.c_str(), 1);  // its own registry...
        setenv("KELVO_RUNTIME_DIR", home.c_str(), 1);     // ...but the same lock
        execl(ZUNTO_BIN_DIR "/wanmate", ZUNTO_BIN_DIR "/wanmate", nullptr);
        _exit(127);
    }
    int status = -1;
    for (int i = 0; i < 200 && waitpid(pid, &status, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_FALSE(std::filesystem::exists(second + "/user.reg"));
    kill(first, SIGTERM);
    waitpid(first, nullptr, 0);
    std::filesystem::remove_all(home);
}
