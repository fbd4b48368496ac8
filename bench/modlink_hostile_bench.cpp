// SPDX-License-Identifier: GPL-3.0-or-later
// modlink_hostile_bench [SECONDS [MODLINK_TOOL]]: the peak memory (max RSS)
// of `modlink-tool phonebook write` while a scripted modem streams junk
// lines into AT+CPBW for SECONDS (10), and of `modlink-tool info` when a
// 5000-byte junk line comes before the first answer.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "support/HostileModem.h"

namespace {

struct Run {
    std::string out;
    long maxRssKb = 0;
    double seconds = 0;
    int status = -1;
};

Run runTool(const std::string& tool, const std::string& args, const std::string& env) {
    Run r;
    int fds[2];
    if (::pipe(fds) != 0) return r;
    auto start = std::chrono::steady_clock::now();
    pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(fds[1], 1);
        ::dup2(fds[1], 2);
        ::close(fds[0]);
        std::string cmd = env + " exec " + tool + " " + args;
        ::execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    char buf[512];
    ssize_t n;
    while ((n = ::read(fds[0], buf, sizeof buf)) > 0)
        r.out.append(buf, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int st = 0;
    rusage ru{};
    ::wait4(pid, &st, 0, &ru);
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    r.maxRssKb = ru.ru_maxrss;
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    const std::string tool = argc > 2 ? argv[2] : std::string(ZUNTO_BIN_DIR) + "/modlink-tool";

    // 1. Junk streamed into AT+CPBW for `seconds`, then OK.
    std::size_t junkBytes = 0;
    HostileModem modem(
        HostileModem::Kind::Pty, [&](const std::string& c) -> std::optional<std::string> {
            if (c.rfind("AT+CPBW=", 0) != 0) return std::nullopt;
            std::string chunk;
            for (int i = 0; i < 1000; ++i)
                chunk += "\r\n+XJUNK: 0123456789abcdefghijklmnopqrstuvwxyz " + std::to_string(i);
            auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
            while (std::chrono::steady_clock::now() < end) {
                modem.send(chunk);
                junkBytes += chunk.size();
            }
            return "\r\n\r\nOK\r\n";
        });
    if (!modem.ok()) {
        std::fprintf(stderr, "no pty\n");
        return 1;
    }
    // A time-out longer than the stream: the whole stream goes into the command.
    std::string env = "MODLINK_USB=0 MODLINK_TIMEOUT_MS=" + std::to_string((seconds + 5) * 1000);
    Run w = runTool(tool,
                    "--wait " + std::to_string(seconds + 30) + " --port " + modem.port() +
                        " phonebook write 3 10086 A",
                    env);
    std::printf("junk into AT+CPBW: %d s, %.1f MB of junk, %.1f s, max RSS %.1f MB, exit %d\n%s",
                seconds, junkBytes / 1e6, w.seconds, w.maxRssKb / 1024.0, w.status, w.out.c_str());

    // 2. A 5000-byte junk line before the first answer of `info`.
    HostileModem second(HostileModem::Kind::Pty,
                        [](const std::string& c) -> std::optional<std::string> {
                            if (c != "AT+CSQ") return std::nullopt;
                            return "\r\n" + std::string(4096, 'x') + std::string(899, ' ') +
                                   "ERROR\r\n" + HostileModem::ordinaryAnswer(c);
                        });
    Run i = runTool(tool, "--wait 10 --port " + second.port() + " info", "MODLINK_USB=0");
    std::printf("5000-byte line before info: %.2f s, max RSS %.1f MB, exit %d\n%s", i.seconds,
                i.maxRssKb / 1024.0, i.status, i.out.c_str());
    return 0;
}
