// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <filesystem>
#include <string>

namespace platform {

// Where a program finds its shared files and keeps the user's files.
//
// A program counts as installed when it runs from <prefix>/bin (the prefix
// it was configured with) and no CMakeCache.txt lies in that bin folder's
// parent: a build tree always has one there, an installed tree never. An
// installed program reads help and sounds from <datadir>/zunto, loads the
// device library from <libdir>/zunto and keeps the user's files below
// $XDG_DATA_HOME/kelvo; started from the build tree everything lies beside
// the program and the user's files below the current directory.

// The rule above for a given program folder (ending in '/') and prefix.
bool isInstalledProgram(const std::string& exeDir, const std::string& prefix);
// The rule for this process.
bool runningInstalled();
// The folder holding help/ and sounds/, ending in '/'.
std::string resourceDir();
// The folder the device library is installed to, ending in '/'.
std::string installedLibraryDir();
// $XDG_DATA_HOME/kelvo/<program> ($HOME/.local/share when unset).
std::filesystem::path userDataDir(const std::string& program);
// The package's version, e.g. "1.0.0".
const char* programVersion();

}  // namespace platform
