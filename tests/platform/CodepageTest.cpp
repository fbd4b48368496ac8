// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstring>

#include "platform/Codepage.h"

using namespace platform::codepage;

TEST(Codepage, GbkRoundTripsIncludingCharactersOutsideGb2312) {
    // 镕 and 喆 lie outside GB2312 but inside GBK; € is code page 936's 0x80.
    for (const char* s : {"你好，世界", "王小明 13912345678", "镕喆堃", "abc[~]{}"}) {
        std::string gbk = utf8ToGbk(s);
        EXPECT_EQ(gbkToUtf8(gbk), s);
    }
    EXPECT_EQ(utf8ToGbk("你好"), std::string("\xC4\xE3\xBA\xC3"));
}

TEST(Codepage, InvalidInputIsReplacedNotFatal) {
    EXPECT_EQ(gbkToUtf8(std::string("a\xFF"
                                    "b")),
              "a\xEF\xBF\xBD"
              "b");
    // A lone lead byte at the end of the text.
    EXPECT_EQ(gbkToUtf8(std::string("ab\xC4")), "ab\xEF\xBF\xBD");
    // Characters GBK cannot hold become '?'.
    EXPECT_EQ(utf8ToGbk("a😀b"), "a?b");
    EXPECT_EQ(utf8ToGbk(std::string("x\xC3")), "x?");
}

TEST(Codepage, Ucs2KeepsChineseAndTurnsSurrogatePairsIntoQuestionMarks) {
    std::u16string u = gbkToUcs2(utf8ToGbk("你好A"));
    EXPECT_EQ(u, (std::u16string{0x4F60, 0x597D, u'A'}));
    std::u16string emoji = {u'x', 0xD83D, 0xDE00, u'y'};
    EXPECT_EQ(ucs2ToGbk(emoji), "x?y");
    EXPECT_EQ(ucs2ToGbk(std::u16string{0xDC00}), "?");
    EXPECT_EQ(ucs2ToUtf8(emoji), "x😀y");
    EXPECT_EQ(utf8ToUcs2("x😀y"), emoji);
}

TEST(Codepage, FieldFittingNeverSplitsATwoByteCharacter) {
    std::string gbk = utf8ToGbk("你好吗");  // 6 bytes
    char f[6];
    std::memset(f, 'Z', sizeof f);
    putField(f, 6, gbk);  // capacity 5: only two characters fit
    EXPECT_EQ(getField(f, 6), gbk.substr(0, 4));
    char g[7];
    std::memset(g, 'Z', sizeof g);
    putField(g, 7, gbk);  // exactly at the boundary: all 6 bytes and the NUL
    EXPECT_EQ(getField(g, 7), gbk);
    char h[5];
    std::memset(h, 'Z', sizeof h);
    putField(h, 5, "a" + gbk);  // "a" + 你 = 3 bytes; 好 would need 5
    EXPECT_EQ(getField(h, 5), "a" + gbk.substr(0, 2));
    EXPECT_EQ(h[3], '\0');
    EXPECT_EQ(h[4], 'Z');  // the tail of the field keeps what it held
}

TEST(Codepage, FieldWithoutNulIsReadToItsWidthOnly) {
    char f[8] = {'1', '3', '9', '1', '2', '3', '4', '5'};
    EXPECT_EQ(getField(f, 8), "13912345");
    char g[4] = {'a', 0, 'b', 'c'};
    EXPECT_EQ(getField(g, 4), "a");
}

TEST(Codepage, FitLengthCountsBytes) {
    std::string s = "ab" + utf8ToGbk("中文");
    EXPECT_EQ(fitLength(s, 0), 0u);
    EXPECT_EQ(fitLength(s, 3), 2u);
    EXPECT_EQ(fitLength(s, 4), 4u);
    EXPECT_EQ(fitLength(s, 100), 6u);
}
