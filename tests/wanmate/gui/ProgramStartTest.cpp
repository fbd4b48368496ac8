#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace {
// Starts a program offscreen, lets it run, ends it with SIGTERM and returns
// its exit status (-1 when it did not end within five seconds).
int runThenTerminate(const char* program) {
    pid_t pid = fork();
    if (pid == 0) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        execl(program, program, nullptr);
        _exit(127);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    kill(pid, SIGTERM);
    for (int i = 0; i < 500; ++i) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}
}  // namespace

TEST(WanmateProgram, StartsHiddenAndExitsCleanlyOnSignal) {
    EXPECT_EQ(runThenTerminate(ZUNTO_BIN_DIR "/wanmate"), 0);
}
