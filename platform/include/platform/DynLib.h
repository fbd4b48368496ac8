// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

namespace platform {

// Run-time binding of a shared library, in the names the program uses.
// "modlink.dll" is looked up as libmodlink.so beside the running executable;
// the environment variable MODLINK_LIBRARY names another file instead.
using HMODULE = void*;
using FARPROC = void*;

HMODULE LoadLibraryA(const char* name);
FARPROC GetProcAddress(HMODULE module, const char* name);
bool FreeLibrary(HMODULE module);
std::string lastDynLibError();

// Directory of the running executable, with a trailing '/'.
std::string executableDir();

}  // namespace platform
