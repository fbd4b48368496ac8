// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace msgdesk {

struct SimPhoneEntry;

// One outstanding library request: its command id, the device it was made
// for (device + 16 when made on behalf of something already on the SIM) and
// what its answer needs: a text ("NULL", the previous centre number, a SIM
// index in decimal) or a phonebook entry, by identity.
struct PendingCommand {
    int id = -1;
    int device = 0;
    std::string text;
    SimPhoneEntry* entry = nullptr;
    // How often this request has failed before (retries count on).
    int failures = 0;
    // The phonebook batch a store or delete belongs to (BATCH_STORES,
    // BATCH_DELETES), else 0.
    int batch = 0;
};

// The table of outstanding requests, in the order they were made. Window
// code adds rows while the device callback finds and removes them, so every
// operation takes the device link's one process-wide lock (recursive, so a
// caller may hold it around several operations).
class PendingCommandTable final {
public:
    explicit PendingCommandTable(std::recursive_mutex& lock) : m_lock(lock) {}

    // Appends a row; duplicate ids are allowed.
    void add(int id, int device, std::string text);
    void add(int id, int device, SimPhoneEntry* entry, int batch = 0);
    // A request made again after `failures` failed answers or refusals.
    void addRetry(int id, int device, std::string text, int failures);
    // The first row with this id.
    std::optional<PendingCommand> find(int id) const;
    // Deletes the first row with this id; false when there is none.
    bool remove(int id);
    void clear();
    // Deletes every row of device (and device + 16); returns them.
    std::vector<PendingCommand> removeDevice(int device);
    // Rows of one phonebook batch kind.
    std::size_t countBatch(int batch) const;
    std::size_t count() const;

private:
    std::recursive_mutex& m_lock;
    std::vector<PendingCommand> m_rows;
};

}  // namespace msgdesk
