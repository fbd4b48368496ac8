// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

namespace fs = std::filesystem;

namespace {

// Runs a program with its allocations failing from the given call on
// (through the preloaded failnew library); returns its wait status, or -1
// when it did not end within 20 s.
int runStarved(const std::string& program, long failAfter) {
    const std::string bin = ZUNTO_BIN_DIR;
    fs::path dir = fs::temp_directory_path() / ("starved-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0) _exit(126);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("KELVO_REGISTRY_DIR", dir.c_str(), 1);
        setenv("ZUNTO_FAIL_NEW_AFTER", std::to_string(failAfter).c_str(), 1);
        setenv("LD_PRELOAD", (bin + "/libfailnew.so").c_str(), 1);
        unsetenv("MODLINK_PORTS");
        execl((bin + "/" + program).c_str(), program.c_str(), nullptr);
        _exit(127);
    }
    int status = -1;
    for (int i = 0; i < 2000; ++i) {
        if (waitpid(pid, &status, WNOHANG) == pid) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (i == 1999) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            status = -1;
        }
    }
    fs::remove_all(dir);
    return status;
}

}  // namespace

// Both programs end with exit code 1 when memory runs out while they start,
// never with an abort: early in main() and deeper in the start (the first
// few dozen allocations happen before main(), in the libraries).
TEST(OutOfMemoryProgram, BothProgramsEndWithExitCodeOne) {
    const std::string bin = ZUNTO_BIN_DIR;
    const std::pair<const char*, long> runs[] = {
        {"msgdesk", 50}, {"msgdesk", 2000}, {"wanmate", 50}, {"wanmate", 150}};
    for (auto [program, after] : runs) {
        if (!fs::exists(bin + "/" + program) || !fs::exists(bin + "/libfailnew.so")) {
            ADD_FAILURE() << "missing " << program << " or libfailnew.so in " << bin;
            continue;
        }
        const int status = runStarved(program, after);
        ASSERT_NE(status, -1) << program << " kept running";
        ASSERT_TRUE(WIFEXITED(status)) << program << " ended by signal " << WTERMSIG(status)
                                       << " (allocation " << after << ")";
        EXPECT_EQ(WEXITSTATUS(status), 1) << program << " (allocation " << after << ")";
    }
}
