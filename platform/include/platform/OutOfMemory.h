// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace platform {

// A failed memory allocation ends the program with exit code 1, at once:
// operator new's failure (a new_handler) and a std::bad_alloc that nothing
// caught (Qt's allocation failures throw one) both end in _exit(1), never in
// an abort with a core. Atexit work and static destructors are skipped on
// purpose: they would allocate or wait on the device threads. Every other
// uncaught exception keeps the usual abort. Call first thing in main().
void exitOnOutOfMemory();

}  // namespace platform
