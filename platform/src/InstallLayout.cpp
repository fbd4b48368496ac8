// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/InstallLayout.h"

#include <cstdlib>
#include <system_error>

#include "platform/DynLib.h"

// Set by the build from the configured install directories.
#ifndef ZUNTO_INSTALL_PREFIX
#define ZUNTO_INSTALL_PREFIX "/usr/local"
#endif
#ifndef ZUNTO_INSTALL_DATADIR
#define ZUNTO_INSTALL_DATADIR ZUNTO_INSTALL_PREFIX "/share/zunto"
#endif
#ifndef ZUNTO_INSTALL_LIBDIR
#define ZUNTO_INSTALL_LIBDIR ZUNTO_INSTALL_PREFIX "/lib/zunto"
#endif
#ifndef ZUNTO_VERSION
#define ZUNTO_VERSION "0.0.0"
#endif

namespace platform {

namespace {
std::string withSlash(std::string p) {
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    return p == "/" ? p : p + "/";
}
}  // namespace

bool isInstalledProgram(const std::string& exeDir, const std::string& prefix) {
    if (prefix.empty() || withSlash(exeDir) != withSlash(prefix) + "bin/") return false;
    std::error_code ec;
    return !std::filesystem::exists(withSlash(exeDir) + "../CMakeCache.txt", ec);
}

bool runningInstalled() {
    static const bool installed = isInstalledProgram(executableDir(), ZUNTO_INSTALL_PREFIX);
    return installed;
}

std::string resourceDir() {
    return runningInstalled() ? withSlash(ZUNTO_INSTALL_DATADIR) : executableDir();
}

std::string installedLibraryDir() {
    return withSlash(ZUNTO_INSTALL_LIBDIR);
}

std::filesystem::path userDataDir(const std::string& program) {
    std::filesystem::path base;
    if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x == '/') {
        base = x;
    } else {
        const char* home = std::getenv("HOME");
        base = std::filesystem::path(home && *home ? home : "/tmp") / ".local" / "share";
    }
    return base / "kelvo" / program;
}

const char* programVersion() {
    return ZUNTO_VERSION;
}

}  // namespace platform
