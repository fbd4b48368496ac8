// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/InstanceLock.h"

TEST(InstanceLock, OneHolderPerNameUntilReleasedOrEnded) {
    char tmpl[] = "/tmp/instance-lock-XXXXXX";
    std::string dir = mkdtemp(tmpl);
    setenv("KELVO_RUNTIME_DIR", dir.c_str(), 1);
    auto first = std::make_unique<platform::InstanceLock>("KelvoZunto拨号器");
    ASSERT_TRUE(first->acquired());
    EXPECT_FALSE(platform::InstanceLock("KelvoZunto拨号器").acquired());
    EXPECT_TRUE(platform::InstanceLock("Other").acquired());
    first->release();
    EXPECT_TRUE(platform::InstanceLock("KelvoZunto拨号器").acquired());
    // A holder that dies without releasing does not block the next start.
    pid_t child = fork();
    if (child == 0) {
        platform::InstanceLock held("KelvoZunto拨号器");
        _exit(held.acquired() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(platform::InstanceLock("KelvoZunto拨号器").acquired());
    unsetenv("KELVO_RUNTIME_DIR");
    std::filesystem::remove_all(dir);
}
