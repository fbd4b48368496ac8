// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "device/PendingCommandTable.h"
#include "types/SimPhoneEntry.h"

namespace msgdesk {
namespace {

TEST(PendingCommandTable, FindsAndRemovesTheFirstRowOfAnId) {
    std::recursive_mutex lock;
    PendingCommandTable t(lock);
    SimPhoneEntry e;
    t.add(5, 1, "NULL");
    t.add(5, 17, &e);
    t.add(6, 2, "7");
    EXPECT_EQ(t.count(), 3u);
    EXPECT_EQ(t.find(5)->text, "NULL");
    EXPECT_TRUE(t.remove(5));
    auto row = t.find(5);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->device, 17);
    EXPECT_EQ(row->entry, &e);
    EXPECT_TRUE(t.remove(5));
    EXPECT_FALSE(t.remove(5));
    EXPECT_FALSE(t.find(5));
    EXPECT_EQ(t.find(6)->text, "7");
    t.clear();
    EXPECT_EQ(t.count(), 0u);
}

TEST(PendingCommandTable, CallerMayHoldTheLockAroundSeveralOperations) {
    std::recursive_mutex lock;
    PendingCommandTable t(lock);
    std::lock_guard g(lock);
    t.add(1, 1, "a");
    t.add(2, 1, "b");
    t.remove(1);
    EXPECT_EQ(t.count(), 1u);
}

}  // namespace
}  // namespace msgdesk
