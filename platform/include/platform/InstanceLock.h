// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <filesystem>
#include <string>

namespace platform {

// A named lock held for the life of the process, standing in for a named
// mutex: an flock on "<runtime dir>/<name>.lock" ($XDG_RUNTIME_DIR, else
// /tmp/kelvo-<uid>). The system drops it when the process ends, however
// it ends, so a crashed instance never blocks the next start.
class InstanceLock final {
public:
    explicit InstanceLock(const std::string& name);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False when another process holds the name (or the file cannot be made).
    bool acquired() const { return m_fd >= 0; }
    void release();
    static std::filesystem::path pathFor(const std::string& name);

private:
    int m_fd = -1;
};

}  // namespace platform
