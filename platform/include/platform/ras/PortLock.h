// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <filesystem>
#include <string>
#include <vector>

namespace platform::ras {

// Whether another program holds a serial port: a UUCP lock file
// "LCK..<tty>" whose pid (ten ASCII characters) is alive, in the lock
// directory (MODLINK_LOCK_DIR, else /var/lock and /run/lock), or an flock
// on the port. pppd as root ignores exclusive mode and takes no flock, so
// this check is what keeps it off a port the SMS centre drives.
class PortLock final {
public:
    static std::vector<std::filesystem::path> lockDirs();
    // Why the port cannot be had (held by another program, or it cannot be
    // opened), or empty when it is free.
    static std::string inUse(const std::string& port);
    // A lock file names a live process (stale and unreadable ones do not).
    static bool liveLockFile(const std::filesystem::path& file);
};

}  // namespace platform::ras
