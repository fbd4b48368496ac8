// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <string>
#include <vector>

namespace modlink {

// The UUCP lock file of a serial port ("LCK..ttyUSB0" holding the owner's
// pid as ten ASCII digits and a newline), by which pppd, the dial-up
// programs and terminal programs keep off a port another one holds. Taken
// before the port is opened, removed when it is closed.
class UucpLock final {
public:
    enum class Result { Taken, Held, NoLockDir };

    UucpLock() = default;
    ~UucpLock() { release(); }
    UucpLock(UucpLock&& other) noexcept;
    UucpLock& operator=(UucpLock&& other) noexcept;
    UucpLock(const UucpLock&) = delete;
    UucpLock& operator=(const UucpLock&) = delete;

    // Creates the lock file of the port atomically. A file whose pid is dead
    // (or that holds no pid) is stale and taken over; one of a live process,
    // ours included, makes the port Held. Without a writable lock directory
    // the port is used unlocked (NoLockDir, detail says why).
    Result acquire(const std::string& devicePath, std::string& detail);
    // Removes the file if it is still ours.
    void release();
    const std::string& path() const { return m_path; }

    // Where lock files live: MODLINK_LOCK_DIR alone when set, else the
    // system's directories, the one to write in first.
    static std::vector<std::string> lockDirs();
    static std::string fileName(const std::string& devicePath);
    // The pid a lock file names, 0 when it names none.
    static long ownerOf(const std::string& lockPath);
    static bool alive(long pid);

private:
    std::string m_path;
};

}  // namespace modlink
