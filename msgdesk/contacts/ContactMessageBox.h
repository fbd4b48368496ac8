// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <initializer_list>

#include "platform/Format.h"
#include "platform/MessageBox.h"

namespace msgdesk {

// Shows string id (its placeholders filled from args) with the program's
// title as caption; returns the button pressed.
int ShowStringBox(platform::MessageBoxPort& box, unsigned id, platform::MbIcon icon,
                  std::initializer_list<platform::FormatArg> args = {},
                  platform::MbButtons buttons = platform::MbButtons::Ok);

}  // namespace msgdesk
