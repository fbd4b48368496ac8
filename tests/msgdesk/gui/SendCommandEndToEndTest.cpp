// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "support/Zuntosim.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

struct ShellRun {
    int rc = -1;
    std::string out;
};

// A shell command line in dir (the data folder of a build-tree program),
// its output (both streams) and exit status.
ShellRun shell(const fs::path& dir, const std::string& command) {
    const std::string line = "cd '" + dir.string() + "' && LANG=C.UTF-8 LC_ALL=C.UTF-8 " + command +
                             " 2>&1; echo \"rc=$?\"";
    ShellRun r;
    FILE* p = ::popen(line.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    while (std::fgets(buf, sizeof buf, p)) r.out += buf;
    ::pclose(p);
    const size_t at = r.out.rfind("rc=");
    if (at != std::string::npos) {
        r.rc = std::atoi(r.out.c_str() + at + 3);
        r.out.erase(at);
    }
    return r;
}

size_t fileSize(const fs::path& p) {
    std::error_code ec;
    const auto n = fs::file_size(p, ec);
    return ec ? 0 : static_cast<size_t>(n);
}

}  // namespace

// `msgdesk --send` as a script uses it: with no Msgdesk the message waits in
// the OutBox file and goes at the next start; with Msgdesk running it is
// handed over and sent at once; a bad number is refused with exit 2; a
// second start on the folder ends, leaving the first one running.
TEST(MsgdeskSendCommand, NotRunningThenRunning) {
    const std::string bin = ZUNTO_BIN_DIR;
    for (const char* f : {"/libmodlink.so", "/zuntosim", "/msgdesk"})
        if (!fs::exists(bin + f)) GTEST_SKIP() << "no " << bin << f;
    const fs::path dir = fs::temp_directory_path() / ("sendcmd-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string msgdesk = "'" + bin + "/msgdesk'";

    ShellRun r = shell(dir, msgdesk + " --send 13912345678 'offline 离线'");
    EXPECT_EQ(r.rc, 0) << r.out;
    EXPECT_NE(r.out.find("will be sent at its next start"), std::string::npos) << r.out;
    EXPECT_EQ(fileSize(dir / "data" / "OutBox.db"), 236u);
    r = shell(dir, msgdesk + " --send 139-1234 x");
    EXPECT_EQ(r.rc, 2) << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << r.out;
    EXPECT_EQ(fileSize(dir / "data" / "OutBox.db"), 236u);

    support::ChildProcess sim;
    const auto ports = support::startZuntosim(sim, {bin + "/zuntosim", "--devices", "1"}, 1);
    ASSERT_EQ(ports.size(), 1u);
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0) _exit(126);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("KELVO_REGISTRY_DIR", dir.c_str(), 1);
        setenv("MODLINK_PORTS", ports[0].c_str(), 1);
        setenv("MODLINK_USB", "0", 1);
        unsetenv("DBUS_SESSION_BUS_ADDRESS");  // no bus name taken from the user's session
        execl((bin + "/msgdesk").c_str(), "msgdesk", nullptr);
        _exit(127);
    }
    auto sentCount = [&] { return sim.ask("sent 1", "OK", 5s); };
    // The message filed while it was not running goes out after the start.
    for (int i = 0; i < 300 && sentCount() != "OK 1"; ++i) std::this_thread::sleep_for(100ms);
    EXPECT_EQ(sim.ask("sent 1 1", "OK", 5s), "OK 13912345678 offline 离线");

    r = shell(dir, "printf '今晚七点开会' | " + msgdesk + " --send +8613912345678 -");
    EXPECT_EQ(r.rc, 0) << r.out;
    EXPECT_NE(r.out.find("handed to the running Msgdesk"), std::string::npos) << r.out;
    for (int i = 0; i < 300 && sentCount() != "OK 2"; ++i) std::this_thread::sleep_for(100ms);
    EXPECT_EQ(sim.ask("sent 1 2", "OK", 5s), "OK +8613912345678 今晚七点开会");
    r = shell(dir, msgdesk + " --send 13912345678 " + std::string(141, 'x'));
    EXPECT_EQ(r.rc, 2) << r.out;

    r = shell(dir, msgdesk);
    EXPECT_EQ(r.rc, 0) << r.out;
    EXPECT_NE(r.out.find("already running"), std::string::npos) << r.out;
    EXPECT_EQ(waitpid(pid, nullptr, WNOHANG), 0) << "the first Msgdesk ended";

    kill(pid, SIGTERM);
    int status = -1;
    for (int i = 0; i < 500 && waitpid(pid, &status, WNOHANG) != pid; ++i)
        std::this_thread::sleep_for(10ms);
    if (!WIFEXITED(status)) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(fileSize(dir / "data" / "OutBox.db"), 0u);
    EXPECT_EQ(fileSize(dir / "data" / "SentBox.db"), 2 * 236u);
    sim.stop(SIGTERM);
    fs::remove_all(dir);
}
