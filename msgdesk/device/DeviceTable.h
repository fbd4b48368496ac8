// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <mutex>
#include <string>

#include "device/DeviceSlot.h"
#include "device/WindowMessages.h"

namespace msgdesk {

// The 16 device slots with their flags and SMS centre numbers, and the
// device count reported at connect. Guarded by the device link's one
// process-wide lock (recursive, as the critical section it stands for), which
// every accessor takes; callers may hold lock() around several calls to see
// them together. Devices outside 1..16 read as empty and ignore writes.
class DeviceTable final {
public:
    std::recursive_mutex& lock() const { return m_lock; }

    int deviceCount() const;
    void setDeviceCount(int n);  // clamped to 0..16

    DeviceSlot slot(int device) const;
    void clearSlot(int device);
    void clearAllSlots();
    void setPhonebookCapacity(int device, int n);
    void setMessageCapacity(int device, int n);
    // Used count +1 only while below capacity (listing); false when not raised.
    bool raisePhonebookUsedBelowCapacity(int device);
    void addPhonebookUsed(int device, int delta);
    // Used count -1 only while above 0; false when it was 0.
    bool lowerPhonebookUsed(int device);
    void setPhonebookUsed(int device, int n);
    // Message count never goes below 0.
    void addMessageCount(int device, int delta);

    bool messagesListed(int device) const;
    bool phonebookListed(int device) const;
    bool centreRead(int device) const;
    void setMessagesListed(int device, bool v);
    void setPhonebookListed(int device, bool v);
    void setCentreRead(int device, bool v);
    // A centre the start-up poll gave up reading: counted as read (and
    // empty) so nothing waits for it, but shown as unknown until a later
    // answer fills it in.
    bool centreUnknown(int device) const;
    void setCentreUnknown(int device, bool v);
    // Whether the device is one of the attached ones (1..device count and
    // not removed).
    bool attached(int device) const;
    // The device's SIM waits for its PIN (or is missing): the start-up poll
    // and the send pump leave it out until it is unlocked.
    bool simLocked(int device) const;
    void setSimLocked(int device, bool v);
    void clearFlags(int device);
    void clearAllFlags();

    // A device reported unplugged keeps its index but is skipped by the polls
    // until the next connect.
    bool removed(int device) const;
    void setRemoved(int device, bool v);

    std::string centreNumber(int device) const;
    void setCentreNumber(int device, std::string number);

    DeviceSnapshot snapshot() const;

private:
    static bool valid(int d) { return d >= 1 && d <= kMaxDevices; }

    mutable std::recursive_mutex m_lock;
    int m_deviceCount = 0;
    DeviceSlot m_slots[kMaxDevices + 1];
    bool m_messagesListed[kMaxDevices + 1] = {};
    bool m_phonebookListed[kMaxDevices + 1] = {};
    bool m_centreRead[kMaxDevices + 1] = {};
    bool m_centreUnknown[kMaxDevices + 1] = {};
    bool m_removed[kMaxDevices + 1] = {};
    bool m_simLocked[kMaxDevices + 1] = {};
    std::string m_centre[kMaxDevices + 1];
};

}  // namespace msgdesk
