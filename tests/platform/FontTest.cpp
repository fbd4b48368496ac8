// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

// Windows must render Chinese: the setup installs a Simplified Chinese font.
TEST(Environment, ASimplifiedChineseFontIsInstalled) {
    FILE* p = popen("fc-list :lang=zh-cn family 2>/dev/null", "r");
    ASSERT_NE(p, nullptr) << "fontconfig (fc-list) is missing";
    std::string out;
    char buf[256];
    while (fgets(buf, sizeof buf, p)) out += buf;
    pclose(p);
    EXPECT_FALSE(out.empty()) << "no font for zh-cn: run scripts/setup.sh";
}
