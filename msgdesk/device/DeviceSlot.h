// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>

namespace msgdesk {

// What the program knows about one attached device's SIM card.
struct DeviceSlot {
    int32_t phonebookCapacity = 0;  // from the phonebook geometry answer
    int32_t phonebookUsed = 0;      // listed, stored and deleted entries
    int32_t messageCapacity = 0;    // from the message store size answer
    int32_t messageCount = 0;       // messages found or kept on the SIM
};

// A copy of the device table for views that show it (SIM information).
struct DeviceSnapshot {
    int deviceCount = 0;
    DeviceSlot devices[17];  // indexed 1..16 (not "slots": a Qt keyword)
};

}  // namespace msgdesk
