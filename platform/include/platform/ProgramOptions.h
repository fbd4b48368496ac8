// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdio>

namespace platform {

// --version and --help of a program, answered before any window or display
// is needed. Prints "<program> <version>" or the usage to out and returns 0
// (the exit status); returns -1 when neither is given, so the program goes
// on (other arguments are left to the toolkit).
int answerInfoOptions(int argc, char** argv, const char* program, const char* usage,
                      std::FILE* out = stdout);

}  // namespace platform
