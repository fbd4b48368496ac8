// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace platform {

// The device-change broadcast: wParam is the event type.
constexpr unsigned WM_DEVICECHANGE = 0x0219;
constexpr unsigned DBT_DEVNODES_CHANGED = 0x0007;
constexpr unsigned DBT_DEVICEARRIVAL = 0x8000;
constexpr unsigned DBT_DEVICEREMOVECOMPLETE = 0x8004;

}  // namespace platform
