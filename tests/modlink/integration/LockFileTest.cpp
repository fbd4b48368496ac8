// SPDX-License-Identifier: LGPL-2.1-or-later
// The UUCP lock file of each serial port the library holds: created with
// our pid, removed at CloseModules, taken over when stale, and a live one of
// another process keeps the library off the port. TCP ports get none.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "modlink.h"
#include "support/HostileModem.h"

namespace fs = std::filesystem;

namespace {

class LockFile : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/modlink-lock-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        m_dir = tmpl;
        ::setenv("MODLINK_LOCK_DIR", m_dir.c_str(), 1);
        ::setenv("MODLINK_USB", "0", 1);
        ::setenv("MODLINK_TIMEOUT_MS", "1000", 1);
    }
    void TearDown() override {
        CloseModules();
        ::unsetenv("MODLINK_LOCK_DIR");
        fs::remove_all(m_dir);
    }
    void attach(const std::string& port) { ::setenv("MODLINK_PORTS", port.c_str(), 1); }
    std::string lockOf(const std::string& port) const {
        return m_dir + "/LCK.." + port.substr(port.rfind('/') + 1);
    }
    static std::string read(const std::string& path) {
        std::ifstream f(path, std::ios::binary);
        return f ? std::string(std::istreambuf_iterator<char>(f), {}) : "<none>";
    }
    static void write(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    static std::string pidText(long pid) {
        char b[16];
        std::snprintf(b, sizeof b, "%10ld\n", pid);
        return b;
    }
    // A pid that surely names no process: a child that has ended and been reaped.
    static long deadPid() {
        pid_t p = ::fork();
        if (p == 0) ::_exit(0);
        ::waitpid(p, nullptr, 0);
        return p;
    }
    std::string m_dir;
};

}  // namespace

TEST_F(LockFile, HeldWithOurPidWhileOpenAndRemovedAtClose) {
    HostileModem modem(HostileModem::Kind::Pty);
    ASSERT_TRUE(modem.ok());
    attach(modem.port());
    ASSERT_EQ(InitModules(), 0);
    EXPECT_EQ(read(lockOf(modem.port())), pidText(::getpid()));
    EXPECT_EQ(fs::status(lockOf(modem.port())).permissions() & fs::perms::others_read,
              fs::perms::others_read);
    CloseModules();
    EXPECT_FALSE(fs::exists(lockOf(modem.port())));
    // Nothing else is left in the directory (no temporary file).
    EXPECT_TRUE(fs::is_empty(m_dir));
}

TEST_F(LockFile, StaleLockIsTakenOverLiveOneRefusesThePort) {
    HostileModem modem(HostileModem::Kind::Pty);
    ASSERT_TRUE(modem.ok());
    attach(modem.port());
    const std::string lock = lockOf(modem.port());
    write(lock, pidText(deadPid()));
    ASSERT_EQ(InitModules(), 0);
    EXPECT_EQ(read(lock), pidText(::getpid()));
    CloseModules();

    // pid 1 is always alive: another program holds the port.
    write(lock, pidText(1));
    EXPECT_NE(InitModules(), 0);
    EXPECT_EQ(read(lock), pidText(1));  // theirs, untouched
    CloseModules();
    EXPECT_EQ(read(lock), pidText(1));

    // A file without a pid is no one's.
    write(lock, "garbage\n");
    EXPECT_EQ(InitModules(), 0);
    EXPECT_EQ(read(lock), pidText(::getpid()));
}

TEST_F(LockFile, TcpPortsGetNone) {
    HostileModem modem(HostileModem::Kind::Tcp);
    ASSERT_TRUE(modem.ok());
    attach(modem.port());
    ASSERT_EQ(InitModules(), 0);
    int n = 0;
    GetActiveDeviceCount(&n);
    EXPECT_EQ(n, 1);
    EXPECT_TRUE(fs::is_empty(m_dir));
}
