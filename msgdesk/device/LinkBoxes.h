// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

#include "platform/MessageBox.h"

namespace msgdesk {

// The link's message boxes: a string-table text under the program title.
int linkBox(platform::MessageBoxPort& boxes, unsigned stringId, platform::MbIcon icon,
            platform::MbButtons buttons = platform::MbButtons::Ok);
// A composed text; stringId names the text it was made from (0: none).
int linkBoxText(platform::MessageBoxPort& boxes, unsigned stringId, std::string text,
                platform::MbIcon icon);

}  // namespace msgdesk
