// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QIcon>

namespace msgdesk {

// The icons of the compose and view dialogs by resource id: 128 the
// program, 148 send, 149 save, 150 cancel, 195 reply, 196 forward.
QIcon ComposeIcon(int resourceId);

}  // namespace msgdesk
