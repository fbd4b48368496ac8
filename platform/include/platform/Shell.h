// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

namespace platform {

// Opens a document with the desktop's handler for it, as the "open" verb
// does. Returns a value above 32 when a handler was started, otherwise a
// value of 32 or below (2: no such file, 31: no handler on this desktop).
int ShellExecuteA(const char* verb, const char* file);

// The program that would open documents here, or empty when none exists.
// XDG_OPEN_PROGRAM overrides the search (tests name a script or "none").
std::string desktopOpener();

}  // namespace platform
