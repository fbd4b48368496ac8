// SPDX-License-Identifier: LGPL-2.1-or-later
// The AT trace holds numbers and message texts: its file is the user's own.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "engine/Trace.h"

namespace {

TEST(TraceFile, IsCreatedAndNarrowedTo0600WhateverTheUmask) {
    namespace fs = std::filesystem;
    const fs::path path = fs::temp_directory_path() / ("trace-" + std::to_string(::getpid()));
    for (mode_t before : {mode_t(0), mode_t(0644)}) {
        fs::remove(path);
        if (before) {
            std::ofstream(path) << "earlier run\n";
            ::chmod(path.c_str(), before);
        }
        const mode_t old = ::umask(0);
        ::setenv("MODLINK_TRACE", path.c_str(), 1);
        modlink::Trace::instance().open();
        ::umask(old);
        EXPECT_TRUE(modlink::Trace::instance().enabled());
        modlink::Trace::instance().close();
        ::unsetenv("MODLINK_TRACE");
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u) << "file there before: " << (before != 0);
    }
    fs::remove(path);
}

}  // namespace
