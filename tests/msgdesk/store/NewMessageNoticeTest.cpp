// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "platform/Codepage.h"
#include "store/NewMessageNotice.h"

namespace msgdesk::test {
namespace {

MessageRecord received(const std::string& number, const std::string& contactUtf8,
                       const std::string& textUtf8) {
    MessageRecord r;
    r.setNumber(number);
    r.setContact(platform::codepage::utf8ToGbk(contactUtf8));
    r.setText(platform::codepage::utf8ToGbk(textUtf8));
    return r;
}

TEST(NewMessageNotice, TitleIsTheContactNameElseTheNumber) {
    EXPECT_EQ(NewMessageNotice(received("13800138000", "张三", "hi")).summary, "张三");
    EXPECT_EQ(NewMessageNotice(received("13800138000", "", "hi")).summary, "13800138000");
    // The title is plain text to the service: left as it is.
    EXPECT_EQ(NewMessageNotice(received("1", "A&B <x>", "hi")).summary, "A&B <x>");
    EXPECT_EQ(NewMessageNotice(received("1", "", "hi")).icon, "zunto-msgdesk");
}

TEST(NewMessageNotice, BodyKeepsTheFirstWordsAtMost48Characters) {
    const std::string c47(47, 'a');
    EXPECT_EQ(NewMessageNotice(received("1", "", c47 + "b")).body, c47 + "b");  // 48: whole
    EXPECT_EQ(NewMessageNotice(received("1", "", c47 + "bc")).body,
              c47 + "b\u2026");  // 49, no blank: cut at the character
    // A word cut in two is dropped at the last blank.
    EXPECT_EQ(NewMessageNotice(received("1", "", "meet me at " + std::string(40, 'x'))).body,
              "meet me at\u2026");
    // Chinese: characters, not bytes, are counted.
    std::string zh48, zh49;
    for (int i = 0; i < 48; ++i) zh48 += "话";
    zh49 = zh48 + "费";
    EXPECT_EQ(NewMessageNotice(received("1", "", zh48)).body, zh48);
    EXPECT_EQ(NewMessageNotice(received("1", "", zh49)).body, zh48 + "\u2026");
    EXPECT_EQ(NewMessageNotice(received("1", "", "")).body, "");
}

TEST(NewMessageNotice, MarkupInTheBodyIsEscapedControlsBecomeBlanks) {
    EXPECT_EQ(NewMessageNotice(received("1", "", "<b>5 & 6</b>\tx\ry")).body,
              "&lt;b&gt;5 &amp; 6&lt;/b&gt; x y");
}

}  // namespace
}  // namespace msgdesk::test
