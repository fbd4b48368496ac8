// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DynLib.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <string_view>

#include "platform/InstallLayout.h"

namespace platform {

namespace {
thread_local std::string g_error;

// "modlink.dll" -> "libmodlink.so"; other names are taken as they are.
std::string sharedObjectName(std::string_view name) {
    std::string n(name);
    auto dot = n.rfind('.');
    if (dot != std::string::npos) {
        std::string ext = n.substr(dot);
        for (auto& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (ext == ".dll") return "lib" + n.substr(0, dot) + ".so";
    }
    return n;
}
}  // namespace

std::string executableDir() {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return "./";
    std::string p(buf, static_cast<size_t>(n));
    return p.substr(0, p.rfind('/') + 1);
}

HMODULE LoadLibraryA(const char* name) {
    if (!name) return nullptr;
    std::string path;
    const char* env = std::getenv("MODLINK_LIBRARY");
    if (env && *env && std::string_view(name) == "modlink.dll") {
        path = env;
    } else {
        std::string file = sharedObjectName(name);
        path = file.find('/') == std::string::npos ? executableDir() + file : file;
        // An installed program finds the library in its own library folder.
        if (file.find('/') == std::string::npos && ::access(path.c_str(), F_OK) != 0 &&
            ::access((installedLibraryDir() + file).c_str(), F_OK) == 0)
            path = installedLibraryDir() + file;
    }
    void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    g_error = h ? std::string() : std::string(dlerror());
    return h;
}

FARPROC GetProcAddress(HMODULE module, const char* name) {
    if (!module || !name) return nullptr;
    return dlsym(module, name);
}

bool FreeLibrary(HMODULE module) {
    return module && dlclose(module) == 0;
}

std::string lastDynLibError() {
    return g_error;
}

}  // namespace platform
