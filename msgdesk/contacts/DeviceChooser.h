// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <optional>

namespace msgdesk {

// Asks the user which attached device to use (the device choice dialog in
// the program, a script in tests).
class DeviceChooser {
public:
    virtual ~DeviceChooser() = default;
    // Offers devices 1..attachedCount, the first preselected; returns the
    // chosen device index, or nullopt when the user cancels.
    virtual std::optional<int> chooseDevice(int attachedCount) = 0;
};

}  // namespace msgdesk
