// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstddef>
#include <string>

#include "platform/Notification.h"
#include "store/MessageRecord.h"

namespace msgdesk {

// What the desktop notification of a received message shows: the sender's
// contact name, else the number, as the title; the first words of the text
// (at most kNoticeChars characters, cut after the last blank within them
// when there is one, "…" when cut) as the body. Texts are turned from GBK
// into UTF-8; in the body &, < and > are escaped, as notification services
// may read it as markup (the title is plain text to them).
constexpr std::size_t kNoticeChars = 48;
platform::Notification NewMessageNotice(const MessageRecord& rec);

}  // namespace msgdesk
