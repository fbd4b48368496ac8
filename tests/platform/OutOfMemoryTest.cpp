// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <functional>
#include <new>
#include <stdexcept>

#include "platform/OutOfMemory.h"

namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;  // their allocators stop the process themselves
#else
constexpr bool kSanitized = false;
#endif

// Runs body in a child process and returns its wait status. An exception
// leaving body is not caught by the test framework there: it ends the child
// as an uncaught one would end the program.
void runUncaught(const std::function<void()>& body) noexcept {
    body();
}

int inChild(const std::function<void()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        runUncaught(body);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

volatile std::size_t g_huge = SIZE_MAX / 4;
char* volatile g_kept = nullptr;

TEST(OutOfMemory, FailedNewEndsWithExitCodeOne) {
    if (kSanitized) GTEST_SKIP() << "the sanitizer's allocator reports huge requests itself";
    const int status = inChild([] {
        platform::exitOnOutOfMemory();
        g_kept = new char[g_huge];  // kept, so the allocation is not elided
    });
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 1);
}

TEST(OutOfMemory, UncaughtBadAllocEndsWithExitCodeOneOtherExceptionsStillAbort) {
    int status = inChild([] {
        platform::exitOnOutOfMemory();
        throw std::bad_alloc();
    });
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 1);

    status = inChild([] {
        platform::exitOnOutOfMemory();
        throw std::runtime_error("not memory");
    });
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGABRT);
}

}  // namespace
