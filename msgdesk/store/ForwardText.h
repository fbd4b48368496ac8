// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

#include "platform/MessageBox.h"
#include "store/MessageRecord.h"

namespace msgdesk {

// What compose is given when a message is forwarded: its Text, or of a
// joined long message (a whole text other than the Text) the first 140
// bytes at a character boundary, the user then told that the rest was
// left out.
struct ForwardText {
    std::string text;  // GBK
    bool shortened = false;
};

ForwardText ForwardTextOf(const MessageRecord& rec, const std::string& whole);
// The notice shown after a shortened forward (60077).
platform::MessageBoxRequest ForwardShortenedNotice();

}  // namespace msgdesk
