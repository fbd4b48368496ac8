// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ModemHold.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/DynLib.h"
#include "platform/InstallLayout.h"

extern char** environ;

namespace platform {

namespace fs = std::filesystem;

namespace {

ModemHoldResult parseAnswer(const std::string& line) {
    using K = ModemHoldResult::Kind;
    auto word = line.substr(0, line.find(' '));
    std::string rest = word.size() < line.size() ? line.substr(word.size() + 1) : std::string();
    ModemHoldResult r;
    r.reason = rest;
    if (word == "held")
        r.kind = K::Held;
    else if (word == "not-running")
        r.kind = K::NotRunning;
    else if (word == "ignored")
        r.kind = K::Ignored;
    else if (word == "unmanaged")
        r.kind = K::Unmanaged;
    else if (word == "refused")
        r.kind = K::Refused;
    else
        r = {K::Failed, line.empty() ? "the hold helper ended without an answer"
                                     : "unexpected answer from the hold helper: " + line};
    return r;
}

}  // namespace

std::string managerUidOf(const std::string& usbDevice, const std::string& sysRoot) {
    std::error_code ec;
    fs::path root = fs::weakly_canonical(sysRoot.empty() ? "/sys" : sysRoot, ec);
    fs::path dev = fs::weakly_canonical(usbDevice, ec);
    fs::path rel = dev.lexically_relative(root);
    if (rel.empty() || *rel.begin() == "..") return dev.string();
    return (fs::path("/sys") / rel).string();
}

ModemHoldRequest modemHoldRequestFor(const std::string& port, const std::string& sysRoot) {
    ModemHoldRequest r;
    r.port = port;
    std::error_code ec;
    const fs::path root = sysRoot.empty() ? "/sys" : sysRoot;
    fs::path real =
        fs::canonical(root / "class" / "tty" / fs::path(port).filename() / "device", ec);
    if (ec) {
        // A link to the port (/dev/serial/by-id/…) names it by its target.
        fs::path target = fs::canonical(port, ec);
        if (ec) return r;
        real = fs::canonical(root / "class" / "tty" / target.filename() / "device", ec);
        if (ec) return r;
    }
    // The first parent with idVendor is the USB device, as for discovery.
    for (fs::path p = real; !p.empty() && p != p.root_path(); p = p.parent_path()) {
        if (fs::exists(p / "idVendor", ec)) {
            r.usbDevice = p.string();
            r.uid = managerUidOf(r.usbDevice, root.string());
            break;
        }
    }
    return r;
}

std::string modemHoldProgram() {
    if (const char* env = std::getenv("ZUNTO_MODEM_HOLD"); env && *env) return env;
    std::string beside = executableDir() + "zunto-modem-hold";
    if (::access(beside.c_str(), X_OK) == 0) return beside;
    return installedLibraryDir() + "zunto-modem-hold";
}

std::string ModemHoldResult::describe() const {
    const char* words[] = {"held from ModemManager",
                           "ModemManager not running",
                           "ignored by ModemManager (ID_MM_DEVICE_IGNORE)",
                           "not managed by ModemManager",
                           "ModemManager refused to let go",
                           "hold helper failed"};
    std::string s = words[static_cast<int>(kind)];
    return reason.empty() ? s : s + ": " + reason;
}

ModemHoldResult holdModemFromManager(const ModemHoldRequest& request) {
    using K = ModemHoldResult::Kind;
    if (request.usbDevice.empty() || request.uid.empty()) return {K::Ignored, "not a USB device"};
    const std::string program = modemHoldProgram();
    if (::access(program.c_str(), X_OK) != 0) return {K::Failed, program + " not found"};

    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return {K::Failed, std::strerror(errno)};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    // Its own session: the helper outlives a program that is closed or
    // killed from its terminal, while a pppd it holds for still runs.
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
    std::string uid = request.uid, dev = request.usbDevice, port = request.port;
    char* argv[] = {const_cast<char*>(program.c_str()),
                    const_cast<char*>("--uid"),
                    uid.data(),
                    const_cast<char*>("--device"),
                    dev.data(),
                    const_cast<char*>("--port"),
                    port.data(),
                    nullptr};
    pid_t pid = -1;
    int rc = ::posix_spawn(&pid, program.c_str(), &actions, &attr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    ::close(fds[1]);
    if (rc != 0) {
        ::close(fds[0]);
        return {K::Failed, program + ": " + std::strerror(rc)};
    }
    // The helper forks at once and its first process ends, so this wait is
    // short and leaves no zombie; the holder lives on under init.
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }

    using namespace std::chrono;
    const auto deadline =
        steady_clock::now() + milliseconds(holdSettingMs("ZUNTO_HOLD_WAIT_MS", 30000) + 30000);
    std::string line;
    for (;;) {
        auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
        if (left <= 0) {
            ::close(fds[0]);
            return {K::Failed, "no answer from the hold helper"};
        }
        pollfd p{fds[0], POLLIN, 0};
        int n = ::poll(&p, 1, static_cast<int>(left));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) continue;
        char buf[512];
        ssize_t got = ::read(fds[0], buf, sizeof buf);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        line.append(buf, static_cast<size_t>(got));
        if (line.find('\n') != std::string::npos || line.size() > 4096) break;
    }
    ::close(fds[0]);
    line = line.substr(0, line.find('\n'));
    return parseAnswer(line);
}

int holdSettingMs(const char* name, int fallback) {
    const char* v = std::getenv(name);
    if (!v || !*v) return fallback;
    long n = std::strtol(v, nullptr, 10);
    return n > 0 && n < 600000 ? static_cast<int>(n) : fallback;
}

}  // namespace platform
