// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <filesystem>
#include <string>

namespace platform {

// A named lock held for the life of the process, standing in for a named
// mutex: an flock on "<dir>/<name>.lock". The system drops it when the
// process ends, however it ends, so a crashed instance never blocks the
// next start.
class InstanceLock final {
public:
    explicit InstanceLock(const std::string& name);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False when another process holds the name, or the directory or file
    // is not safely ours (problem() then says why).
    bool acquired() const { return m_fd >= 0; }
    const std::string& problem() const { return m_problem; }
    void release();
    // One path per user, whatever the environment says, so that a start
    // from a terminal or under sudo meets the same lock: KELVO_RUNTIME_DIR
    // (tests), else /run/kelvo for root, else /run/user/<uid> when it is
    // the user's own, else /tmp/kelvo-<uid> (checked like any run
    // directory, see RunDir.h).
    static std::filesystem::path pathFor(const std::string& name);

private:
    int m_fd = -1;
    std::string m_problem;
};

}  // namespace platform
