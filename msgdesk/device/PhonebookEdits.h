// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "device/DeviceLibrary.h"
#include "device/DeviceLinkPorts.h"
#include "device/DeviceTable.h"
#include "device/PendingCommandTable.h"
#include "platform/MessageBox.h"
#include "platform/MessageLoop.h"
#include "types/SimPhoneEntry.h"

namespace msgdesk {

class SimPhonebook;

// Stores and deletes of SIM phonebook entries and their batches: each
// accepted request is counted outstanding until answered; when every request
// of a batch that failed somewhere has been answered, one summary box tells
// how many failed.
//
// Threads: onEntryDeleted and onEntryStored run on library threads and
// change only the counters, the device table and the pending rows under the
// process-wide lock, then post to frame. The rest runs on the window thread.
class PhonebookEdits final {
public:
    struct BatchCounter {
        int outstanding = 0;  // accepted requests not yet answered OK
        int failed = 0;       // failed answers since the last summary
    };

    PhonebookEdits(platform::MessageLoop& loop, platform::MessageTarget* frame,
                   const DeviceLibrary& library, DeviceTable& devices, PendingCommandTable& pending,
                   SimPhonebook& phonebook, DeviceLinkPorts& ports,
                   platform::MessageBoxPort& boxes);

    // Library thread: the answers of DelTelphone and SetTelphone.
    void onEntryDeleted(const char* text, int id);
    void onEntryStored(const char* text, int id);

    // Window thread.
    void onDeleteEntry(SimPhoneEntry* e);
    // flag 1: a new entry; 0: a change, restored from the kept copy on failure.
    void onStoreEntry(platform::WPARAM flag, SimPhoneEntry* e);
    void onEntryDone(platform::WPARAM w, SimPhoneEntry* e);
    // UM_BATCHFAILURE of BATCH_STORES or BATCH_DELETES.
    void onBatchFailure(int kind);
    // The copy an edit dialog keeps of the entry it changes.
    void keep(const SimPhoneEntry& e) { m_keptCopy = e; }
    const SimPhoneEntry& keptCopy() const { return m_keptCopy; }
    // A removed device's rows leave their batches (the caller removes them).
    void dropRows(const std::vector<PendingCommand>& rows);
    // Queued stores and deletes were dropped unanswered. The caller holds the lock.
    void clear();

    BatchCounter stores() const;
    BatchCounter deletes() const;

private:
    void post(unsigned msg, platform::WPARAM w, platform::LPARAM l);

    platform::MessageLoop& m_loop;
    platform::MessageTarget* m_frame;
    const DeviceLibrary& m_lib;
    DeviceTable& m_devices;
    PendingCommandTable& m_pending;
    SimPhonebook& m_phonebook;
    DeviceLinkPorts& m_ports;
    platform::MessageBoxPort& m_boxes;

    BatchCounter m_stores;   // under the lock
    BatchCounter m_deletes;  // under the lock
    SimPhoneEntry m_keptCopy;
};

}  // namespace msgdesk
