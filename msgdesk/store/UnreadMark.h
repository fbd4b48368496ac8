// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "store/MessageRecord.h"

namespace msgdesk {

// The unread mark of a message's Status field has two readings, and both
// are kept: the mailbox's count of new messages takes "NEW" exactly, as
// written by receiving; the list draws a row bold for "new" in any case.
bool countsAsNew(const MessageRecord& r);
bool showsUnread(const MessageRecord& r);

}  // namespace msgdesk
