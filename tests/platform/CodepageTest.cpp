// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <iconv.h>

#include <cstring>

#include "platform/Codepage.h"

using namespace platform::codepage;

// One row per text: its UTF-8 form and the exact stored bytes. GBK rows are
// the bytes every older file holds; the rest is GB18030 where GBK has none.
struct StoredRow {
    const char* utf8;
    std::string stored;
};

const StoredRow kStoredRows[] = {
    {"你好", "\xC4\xE3\xBA\xC3"},
    // 镕 and 喆 lie outside GB2312 but inside GBK.
    {"镕喆堃", "\xE9\x46\x86\xB4\x88\xD2"},
    {"abc[~]{}", "abc[~]{}"},
    {"王小明 13912345678", "\xCD\xF5\xD0\xA1\xC3\xF7 13912345678"},
    // ＂ is what the library writes for a quote inside a field.
    {"＂", "\xA3\xA2"},
    // € is code page 936's single byte, never GB18030's A2 E3.
    {"€5",
     "\x80"
     "5"},
    {"😀", "\x94\x39\xFC\x36"},
    {"表情😀测试", "\xB1\xED\xC7\xE9\x94\x39\xFC\x36\xB2\xE2\xCA\xD4"},
    // 𠮷 (U+20BB7) beyond the BMP; 㐀 (U+3400) a BMP character GBK lacks.
    {"生僻字𠮷", "\xC9\xFA\xC6\xA7\xD7\xD6\x95\x34\xB2\x35"},
    {"㐀", "\x81\x39\xEE\x39"},
};

TEST(Codepage, StoredBytesRoundTripBothWays) {
    for (const StoredRow& r : kStoredRows) {
        SCOPED_TRACE(r.utf8);
        EXPECT_EQ(utf8ToGbk(r.utf8), r.stored);
        EXPECT_EQ(gbkToUtf8(r.stored), r.utf8);
        EXPECT_EQ(ucs2ToGbk(utf8ToUcs2(r.utf8)), r.stored);
        EXPECT_EQ(ucs2ToUtf8(gbkToUcs2(r.stored)), r.utf8);
    }
    // GB18030's own euro reads as the euro too, and is written back as 0x80.
    EXPECT_EQ(gbkToUtf8("\xA2\xE3"), "€");
}

// Every character GBK holds keeps the bytes glibc's GBK gives it (older
// files stay as they are); every other BMP character gets a GB18030 form
// that reads back.
TEST(Codepage, EveryGbkCharacterKeepsItsBytesTheRestTakeGb18030) {
    iconv_t gbk = iconv_open("GBK", "UTF-8");
    ASSERT_NE(gbk, reinterpret_cast<iconv_t>(-1));
    int held = 0, other = 0, lost = 0;
    for (unsigned cp = 0x80; cp <= 0xFFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        const std::string utf8 = ucs2ToUtf8(std::u16string(1, static_cast<char16_t>(cp)));
        char buf[8];
        char* in = const_cast<char*>(utf8.data());
        size_t inLeft = utf8.size();
        char* out = buf;
        size_t outLeft = sizeof buf;
        iconv(gbk, nullptr, nullptr, nullptr, nullptr);
        const bool inGbk = iconv(gbk, &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1);
        const std::string stored = utf8ToGbk(utf8);
        if (inGbk) {
            ++held;
            ASSERT_EQ(stored, std::string(buf, static_cast<size_t>(out - buf))) << std::hex << cp;
        } else {
            if (stored == "?") {
                // 24 private-use points whose GB18030 codes now name standard
                // characters (the vertical forms, CJK Ext-A): no form left.
                ++lost;
                ASSERT_TRUE(cp >= 0xE78D && cp <= 0xE864) << std::hex << cp;
                continue;
            }
            // Four bytes, or one of GB18030's few two-byte codes GBK lacks.
            ++other;
            ASSERT_TRUE(stored.size() == 4 || stored.size() == 2) << std::hex << cp;
        }
        ASSERT_EQ(gbkToUtf8(stored), utf8) << std::hex << cp;
    }
    iconv_close(gbk);
    EXPECT_EQ(held, 21792);
    EXPECT_EQ(lost, 24);
    EXPECT_EQ(held + other + lost, 0x10000 - 0x80 - 0x800);
}

TEST(Codepage, InvalidInputIsReplacedNotFatal) {
    EXPECT_EQ(gbkToUtf8(std::string("a\xFF"
                                    "b")),
              "a\xEF\xBF\xBD"
              "b");
    // A lone lead byte at the end of the text.
    EXPECT_EQ(gbkToUtf8(std::string("ab\xC4")), "ab\xEF\xBF\xBD");
    // A lead byte and a digit that start no four-byte character read as
    // before: the lead is replaced, the digit kept.
    EXPECT_EQ(gbkToUtf8(std::string("\x94\x39\xFC")),
              "\xEF\xBF\xBD"
              "9\xEF\xBF\xBD");
    EXPECT_EQ(gbkToUtf8(std::string("\x81\x30z")),
              "\xEF\xBF\xBD"
              "0z");
    // Broken UTF-8 is no character: '?'.
    EXPECT_EQ(utf8ToGbk(std::string("x\xC3")), "x?");
    EXPECT_EQ(utf8ToGbk(std::string("x\xF0\x9F\x98y")), "x?y");
}

TEST(Codepage, Ucs2SurrogatePairsAreOneCharacterLoneOnesAreNone) {
    std::u16string u = gbkToUcs2(utf8ToGbk("你好A"));
    EXPECT_EQ(u, (std::u16string{0x4F60, 0x597D, u'A'}));
    std::u16string emoji = {u'x', 0xD83D, 0xDE00, u'y'};
    EXPECT_EQ(ucs2ToGbk(emoji), "x\x94\x39\xFC\x36y");
    EXPECT_EQ(gbkToUcs2(ucs2ToGbk(emoji)), emoji);
    EXPECT_EQ(ucs2ToGbk(std::u16string{0xDC00}), "?");
    EXPECT_EQ(ucs2ToGbk(std::u16string{u'a', 0xD83D, u'b'}), "a?b");
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

TEST(Codepage, CutsKeepTheLastCharacterThatFitsAndNeverSplitOne) {
    // "ab中" 4 bytes, then 😀 4 bytes (cost 4), 㐀 4 bytes (cost 2), "c".
    const std::string s = "ab" + utf8ToGbk("中😀㐀c");
    struct Row {
        size_t limit, bytes, costCut;
    };
    const Row rows[] = {
        {0, 0, 0},   {3, 2, 2},   {4, 4, 4},    {7, 4, 4},    {8, 8, 8},     {9, 8, 8},
        {10, 8, 12}, {11, 8, 13}, {12, 12, 13}, {13, 13, 13}, {100, 13, 13},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.limit);
        EXPECT_EQ(fitLength(s, r.limit), r.bytes);
        EXPECT_EQ(fitCost(s, r.limit, 100), r.costCut);
    }
    // Cost as a message: ASCII 1, GBK 2, an emoji 4, a BMP character GBK lacks 2.
    EXPECT_EQ(messageCost(s), 11u);
    EXPECT_EQ(messageCost(utf8ToGbk("表情😀测试")), 12u);
    // The byte limit holds as well as the cost.
    EXPECT_EQ(fitCost(s, 100, 11), 8u);
    // A field cut just before and just after a four-byte character.
    char f[9];
    std::memset(f, 'Z', sizeof f);
    putField(f, 9, s);  // room 8: "ab中😀"
    EXPECT_EQ(getField(f, 9), s.substr(0, 8));
    putField(f, 8, s);  // room 7: "ab中"
    EXPECT_EQ(getField(f, 8), s.substr(0, 4));
    EXPECT_EQ(gbkToUtf8(getField(f, 8)), "ab中");
}
