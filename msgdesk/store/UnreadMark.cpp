// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/UnreadMark.h"

#include <cstring>

namespace msgdesk {

bool countsAsNew(const MessageRecord& r) {
    return std::strncmp(r.Status, "NEW", 3) == 0;
}

bool showsUnread(const MessageRecord& r) {
    // 0xDF clears the ASCII lower-case bit.
    return (r.Status[0] & 0xDF) == 'N' && (r.Status[1] & 0xDF) == 'E' &&
           (r.Status[2] & 0xDF) == 'W';
}

}  // namespace msgdesk
