// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "platform/DeviceChange.h"
#include "platform/MessageLoop.h"

namespace wanmate {

// Window messages of the main window.
constexpr unsigned WM_DIAL_REQUEST = platform::WM_USER + 100;  // 1124, no parameters
constexpr unsigned WM_TRAY_NOTIFY = platform::WM_USER + 102;   // 1126, lParam = mouse message
using platform::WM_DEVICECHANGE;

// Timer of the main window that stands for the wait before a dial on insert.
constexpr unsigned kDialDelayTimer = 2;
constexpr unsigned kDialDelayMs = 2400;

}  // namespace wanmate
