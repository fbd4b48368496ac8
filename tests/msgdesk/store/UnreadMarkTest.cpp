// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "store/UnreadMark.h"

namespace msgdesk {
namespace {

MessageRecord withStatus(const char* s) {
    MessageRecord r;
    r.setStatus(s);
    return r;
}

// The count takes "NEW" exactly; the bold row takes it in any case.
TEST(UnreadMark, CountIsCaseExactBoldIsAnyCase) {
    struct Row {
        const char* status;
        bool counted;
        bool bold;
    };
    const Row rows[] = {
        {"NEW", true, true},   {"new", false, true}, {"New", false, true},   {"nEW", false, true},
        {"NEWS", true, true},  {"NE", false, false}, {"NEX", false, false},  {"MEW", false, false},
        {"OLD", false, false}, {"", false, false},   {" NEW", false, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.status);
        EXPECT_EQ(countsAsNew(withStatus(r.status)), r.counted);
        EXPECT_EQ(showsUnread(withStatus(r.status)), r.bold);
    }
}

}  // namespace
}  // namespace msgdesk
