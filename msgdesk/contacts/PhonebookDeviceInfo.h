// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace msgdesk {

// The device table's values that the phonebook operations read. The device
// link implements it over its DeviceSlot table (reading the counts under its
// lock, since the callback changes them).
class PhonebookDeviceInfo {
public:
    virtual ~PhonebookDeviceInfo() = default;
    // Number of attached devices; they are devices 1..attachedCount().
    virtual int attachedCount() const = 0;
    // Phonebook capacity of a device 1..16 (0 until the card reported it).
    virtual int phonebookCapacity(int device) const = 0;
    // Phonebook used count of a device 1..16.
    virtual int phonebookUsed(int device) const = 0;
    // True once the device's phonebook listing has ended.
    virtual bool phonebookListed(int device) const = 0;
    // True while the device is attached: one of 1..attachedCount() and not
    // removed since (a removed device keeps its index).
    virtual bool deviceAttached(int device) const {
        return device >= 1 && device <= attachedCount();
    }
};

}  // namespace msgdesk
