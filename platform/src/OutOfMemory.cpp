// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/OutOfMemory.h"

#include <unistd.h>

#include <cstdlib>
#include <exception>
#include <new>

namespace platform {
namespace {

std::terminate_handler g_previousTerminate = nullptr;

[[noreturn]] void outOfMemory() {
    // No allocation from here on: write(2) and _exit(2) only.
    static const char text[] = "out of memory\n";
    [[maybe_unused]] ssize_t w = ::write(2, text, sizeof text - 1);
    ::_exit(1);
}

[[noreturn]] void onTerminate() {
    if (std::exception_ptr e = std::current_exception()) {
        try {
            std::rethrow_exception(e);
        } catch (const std::bad_alloc&) {
            outOfMemory();
        } catch (...) {
        }
    }
    if (g_previousTerminate) g_previousTerminate();
    std::abort();
}

}  // namespace

void exitOnOutOfMemory() {
    std::set_new_handler(outOfMemory);
    std::terminate_handler previous = std::set_terminate(onTerminate);
    if (previous != onTerminate) g_previousTerminate = previous;
}

}  // namespace platform
