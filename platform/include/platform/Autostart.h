// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

namespace platform {

// Starting a program with the desktop session. Tests use the real one with
// XDG_CONFIG_HOME pointing into a temporary directory.
class AutostartPort {
public:
    virtual ~AutostartPort() = default;
    virtual bool present() const = 0;
    virtual bool install(const std::string& programPath) = 0;
    // True when no entry is left (also when there was none).
    virtual bool remove() = 0;
};

// The path of the running program file, as the loader found it.
std::string programFilePath();

}  // namespace platform
