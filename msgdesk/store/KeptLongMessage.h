// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

#include "store/MessageRecord.h"

namespace msgdesk {

// UM_KEEPRECORD's payload with wParam KEEP_LONG_MESSAGE: a joined long
// message to file into the InBox. rec.Text holds its first 160 bytes; the
// whole text goes to the InBox's sidecar, on disk before the row.
struct KeptLongMessage {
    MessageRecord rec;
    std::string whole;  // GBK
};

}  // namespace msgdesk
