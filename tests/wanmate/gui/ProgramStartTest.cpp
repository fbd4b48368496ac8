// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <tuple>
#include <utility>

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

namespace {
// Runs `wanmate ARGS`, returns its exit status and what it printed.
std::pair<int, std::string> wanmateCommand(const std::string& args) {
    std::string cmd = std::string(ZUNTO_BIN_DIR "/wanmate ") + args + " 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    std::string out;
    char buf[256];
    while (p && fgets(buf, sizeof buf, p)) out += buf;
    int status = p ? pclose(p) : -1;
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}
}  // namespace

// The command line against the running tray program, whose dial runs a
// stand-in pppd replaying a whole session on a pseudo-terminal.
TEST(WanmateProgram, CommandLineDialsReportsAndHangsUpTheRunningDialer) {
    char tmpl[] = "/tmp/wanmate-cli-XXXXXX";
    std::string home = mkdtemp(tmpl);
    namespace fs = std::filesystem;
    // One modem on the USB bus; its AT port is the pseudo-terminal.
    fs::create_directories(home + "/sys/bus/usb/devices/usb1");
    fs::create_directories(home + "/sys/bus/usb/devices/1-1");
    std::ofstream(home + "/sys/bus/usb/devices/usb1/maxchild") << "1\n";
    std::ofstream(home + "/sys/bus/usb/devices/1-1/idVendor") << "1a7c\n";
    std::ofstream(home + "/sys/bus/usb/devices/1-1/idProduct") << "3d41\n";
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    grantpt(master);
    unlockpt(master);
    const std::string port = ptsname(master);
    setenv("WANMATE_RUN_DIR", (home + "/run").c_str(), 1);

    auto [rc, out] = wanmateCommand("--status");
    EXPECT_EQ(rc, 1);
    EXPECT_NE(out.find("no dialer is running"), std::string::npos) << out;
    EXPECT_EQ(wanmateCommand("--wait").first, 2);

    pid_t pid = fork();
    if (pid == 0) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("KELVO_REGISTRY_DIR", home.c_str(), 1);
        setenv("XDG_CONFIG_HOME", home.c_str(), 1);
        setenv("KELVO_RUNTIME_DIR", home.c_str(), 1);
        setenv("WANMATE_SYSFS_ROOT", (home + "/sys").c_str(), 1);
        setenv("WANMATE_RAS_PORTS", port.c_str(), 1);
        setenv("WANMATE_PPP_PIDDIR", (home + "/pid").c_str(), 1);
        setenv("MODLINK_LOCK_DIR", home.c_str(), 1);
        setenv("WANMATE_PPPD", ZUNTO_TEST_DATA "/wanmate/ppp/fake-pppd.sh", 1);
        setenv("FAKE_PPPD_LOG", ZUNTO_TEST_DATA "/wanmate/ppp/connected.log", 1);
        setenv("FAKE_PPPD_PID", (home + "/pppd.pid").c_str(), 1);
        execl(ZUNTO_BIN_DIR "/wanmate", ZUNTO_BIN_DIR "/wanmate", "/Embedding", nullptr);
        _exit(127);
    }
    for (int i = 0; i < 500 && !fs::exists(home + "/run/control"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));

    EXPECT_EQ(wanmateCommand("--status"), std::make_pair(0, std::string("not connected\n")));
    EXPECT_EQ(wanmateCommand("--connect --wait"),
              std::make_pair(0, std::string("dialling\nconnected\n")));
    std::tie(rc, out) = wanmateCommand("--status");
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(out.rfind("connected\nport: " + port +
                            "\ninterface: ppp0\nlocal address: 10.64.64.2\n"
                            "name server: 10.64.64.1\nconnected since: ",
                        0),
              0u)
        << out;
    std::tie(rc, out) = wanmateCommand("--connect");
    EXPECT_EQ(rc, 1);
    EXPECT_EQ(out, "refused: 网络已经连接………\n");
    std::ifstream pidFile(home + "/pppd.pid");
    pid_t pppd = 0;
    pidFile >> pppd;
    EXPECT_EQ(wanmateCommand("--disconnect"), std::make_pair(0, std::string("hung up\n")));
    for (int i = 0; i < 300 && pppd > 0 && kill(pppd, 0) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_NE(kill(pppd, 0), 0);
    EXPECT_EQ(wanmateCommand("--status"), std::make_pair(0, std::string("not connected\n")));

    kill(pid, SIGTERM);
    int status = -1;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_FALSE(fs::exists(home + "/run/control"));
    unsetenv("WANMATE_RUN_DIR");
    close(master);
    fs::remove_all(home);
}
