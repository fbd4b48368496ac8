// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "platform/Format.h"

using platform::format;
using platform::tryFormat;

TEST(Format, FillsTypedPlaceholders) {
    EXPECT_EQ(format("Zunto[%d]:容量(%d) 短信(%d)", {2, 30, 5}), "Zunto[2]:容量(30) 短信(5)");
    EXPECT_EQ(format("%d/%d", {12, 1}), "12/1");
    EXPECT_EQ(format("%04ld-%02ld-%02ld", {2003, 2, 15}), "2003-02-15");
    EXPECT_EQ(format("%2ld:%02ld:%02ld", {9, 5, 7}), " 9:05:07");
    EXPECT_EQ(format("%s/%d", {std::string_view("7"), 2}), "7/2");
    EXPECT_EQ(format("100%%", {}), "100%");
}

TEST(Format, RefusesMismatchedArguments) {
    EXPECT_FALSE(tryFormat("%d", {std::string_view("x")}));
    EXPECT_FALSE(tryFormat("%s", {5}));
    EXPECT_FALSE(tryFormat("%d %d", {1}));
    EXPECT_FALSE(tryFormat("%d", {1, 2}));
    EXPECT_FALSE(tryFormat("%n", {1}));
    EXPECT_FALSE(tryFormat("abc%", {}));
    // The safe form gives the format back untouched.
    EXPECT_EQ(format("Zunto(%d)已被移除", {std::string_view("%s%s%n")}), "Zunto(%d)已被移除");
}

TEST(Format, OutsideTextIsNeverAFormat) {
    // A message body full of conversions is copied as it is.
    EXPECT_EQ(format("%s", {std::string_view("%s%n%d%%")}), "%s%n%d%%");
}
