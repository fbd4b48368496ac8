// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <filesystem>

namespace msgdesk {

// The lock on a data folder: Msgdesk loads the mailboxes at start and
// rewrites them whole, so two programs on one folder would overwrite each
// other's messages. Msgdesk holds it for its whole run; `msgdesk --send`
// holds it while it appends to the OutBox file. An flock on
// data/msgdesk.lock: the system drops it when the holder ends, however it
// ends, so a crash leaves no stale lock.
class InstanceLock final {
public:
    explicit InstanceLock(std::filesystem::path root) : m_root(std::move(root)) {}
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Takes the lock without waiting (data/ is made when missing); false
    // when another process holds it or the file cannot be opened.
    bool tryLock();
    bool held() const { return m_fd >= 0; }
    void release();

    static std::filesystem::path lockFile(const std::filesystem::path& root);

private:
    std::filesystem::path m_root;
    int m_fd = -1;
};

}  // namespace msgdesk
