// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Shell.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string_view>

extern char** environ;

namespace platform {

std::string desktopOpener() {
    if (const char* o = std::getenv("XDG_OPEN_PROGRAM"))
        return std::string_view(o) == "none" ? "" : o;
    const char* path = std::getenv("PATH");
    std::string_view p = path ? path : "/usr/bin:/bin";
    while (!p.empty()) {
        size_t c = p.find(':');
        std::string dir(p.substr(0, c));
        std::string cand = dir + "/xdg-open";
        if (::access(cand.c_str(), X_OK) == 0) return cand;
        if (c == std::string_view::npos) break;
        p.remove_prefix(c + 1);
    }
    return "";
}

int ShellExecuteA(const char* verb, const char* file) {
    if (!file || (verb && std::strcmp(verb, "open") != 0)) return 31;
    struct stat st {};
    if (::stat(file, &st) != 0) return 2;
    std::string opener = desktopOpener();
    if (opener.empty()) return 31;
    // Started detached (double fork), so the window thread never waits for
    // the viewer and no zombie is left behind.
    pid_t pid = ::fork();
    if (pid < 0) return 31;
    if (pid == 0) {
        ::setsid();
        pid_t inner;
        char* argv[] = {const_cast<char*>(opener.c_str()), const_cast<char*>(file), nullptr};
        int rc = posix_spawn(&inner, opener.c_str(), nullptr, nullptr, argv, environ);
        _exit(rc == 0 ? 0 : 127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return (WIFEXITED(status) && WEXITSTATUS(status) == 0) ? 42 : 31;
}

}  // namespace platform
