// SPDX-License-Identifier: LGPL-2.1-or-later
// Texts between GBK and the modem's character sets, answer fields, JSON.
#include <gtest/gtest.h>

#include "at/AtLineSplitter.h"
#include "at/AtText.h"
#include "at/CpbrParser.h"
#include "at/NameCodec.h"
#include "engine/Json.h"
#include "ops/Answers.h"
#include "platform/Codepage.h"

using namespace modlink;
namespace cp = platform::codepage;

TEST(NameCodec, Ucs2RoundTripAndPlainFallbacks) {
    std::string name = cp::utf8ToGbk("王小明 Li");
    std::string hex = at::encodeText(name, at::Charset::Ucs2);
    EXPECT_EQ(hex, "738B5C0F660E0020004C0069");
    EXPECT_EQ(at::decodeText(hex, at::Charset::Ucs2), name);
    EXPECT_EQ(at::encodeText(cp::utf8ToGbk("A\"王"), at::Charset::Ira), "A'?");
    EXPECT_EQ(at::decodeText("Dad", at::Charset::Ucs2), "Dad");     // odd length: not hex
    EXPECT_EQ(at::decodeText("00410007", at::Charset::Ucs2), "A");  // control dropped
    // An emoji keeps its four GB18030 bytes and goes back as its surrogate pair.
    EXPECT_EQ(at::decodeText("D83DDE00", at::Charset::Ucs2), "\x94\x39\xFC\x36");
    EXPECT_EQ(at::encodeText("\x94\x39\xFC\x36", at::Charset::Ucs2), "D83DDE00");
    // A character set that cannot carry it gets one '?' for it.
    EXPECT_EQ(at::encodeText("a\x94\x39\xFC\x36"
                             "b",
                             at::Charset::Ira),
              "a?b");
}

TEST(NameCodec, NumbersKeepOnlyDialCharacters) {
    EXPECT_EQ(at::decodeNumber("+86 139-1234", at::Charset::Ira), "+861391234");
    EXPECT_EQ(at::decodeNumber("86139", at::Charset::Ira, 145), "+86139");
    EXPECT_EQ(at::decodeNumber("1+2", at::Charset::Ira), "12");
    EXPECT_EQ(at::decodeNumber("002B0031", at::Charset::Ucs2, 145), "+1");
    EXPECT_EQ(at::decodeNumber("10086000", at::Charset::Ucs2), "10086000");
}

// Phonebook numbers are never changed silently: kept as given (with a note
// when they are not dial strings) or dropped with a note.
TEST(NameCodec, PhonebookNumbersAsGivenOrDroppedWithANote) {
    std::vector<std::string> lines = {
        "+CPBR: 1,\"+86 139-1234\",145,\"0041\"", "+CPBR: 2,\"139\x7F\",129,\"0041\"",
        "+CPBR: 3,\"139\xA1\xA1\",129,\"0041\"", "+CPBR: 4,\"+8613912345678\",145,\"0041\"",
        "+CPBR: 5,\"0031002D\",129,\"0041\""};
    int bad = 0;
    std::vector<std::string> notes;
    auto e = at::parseCpbrEntries(lines, at::Charset::Ucs2, &bad, &notes);
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[0].number, "+86 139-1234");
    EXPECT_EQ(e[1].number, "+8613912345678");
    EXPECT_EQ(e[2].number, "1-");
    EXPECT_EQ(bad, 2);
    EXPECT_EQ(notes, (std::vector<std::string>{
                         "entry 1 kept with a number that is not a dial string: +86 139-1234",
                         "entry 2 dropped: its number holds bytes that are not text",
                         "entry 3 dropped: its number holds bytes that are not text",
                         "entry 5 kept with a number that is not a dial string: 1-"}));
    EXPECT_EQ(at::decodeNumberAsGiven("86139", at::Charset::Ira, 145), "+86139");
    EXPECT_EQ(at::decodeNumberAsGiven("10086000", at::Charset::Ucs2), "10086000");
}

TEST(NameCodec, WriteArgumentsAreCutToTheSimFields) {
    std::string name = cp::utf8ToGbk("一二三四五六七八九十甲乙");  // 24 bytes
    EXPECT_EQ(at::cpbwArguments(3, "+8613912345678", name, at::Charset::Ira),
              "3,\"+8613912345678\",145,\"???????????\"");
    std::string args = at::cpbwArguments(3, "123", "a" + name, at::Charset::Ucs2);
    // "a" + 10 characters = 21 bytes fit; the 11th would split.
    EXPECT_EQ(args, "3,\"123\",129,\"0061" + at::encodeText(name.substr(0, 20), at::Charset::Ucs2) +
                        "\"");
    // Emoji (four bytes each, a surrogate pair on the SIM): "ab" and five fill
    // the 22 bytes; one more letter in front and the fifth no longer fits.
    const std::string smile = cp::utf8ToGbk("😀");
    const std::string five = smile + smile + smile + smile + smile;
    EXPECT_EQ(at::cpbwArguments(3, "123", "ab" + five, at::Charset::Ucs2),
              "3,\"123\",129,\"00610062D83DDE00D83DDE00D83DDE00D83DDE00D83DDE00\"");
    EXPECT_EQ(at::cpbwArguments(3, "123", "abc" + five, at::Charset::Ucs2),
              "3,\"123\",129,\"006100620063D83DDE00D83DDE00D83DDE00D83DDE00\"");
}

TEST(Answers, QuotedFieldsAndDialStrings) {
    EXPECT_EQ(quotedField("a\"b", 22),
              "a\xA3\xA2"
              "b");
    std::string zh = cp::utf8ToGbk("王小明");
    EXPECT_EQ(quotedField(zh, 5), zh.substr(0, 4));
    // An emoji is cut whole or kept whole; a quote after it still turns full-width.
    const std::string smile = cp::utf8ToGbk("😀");
    EXPECT_EQ(quotedField("a" + smile + "\"", 22), "a" + smile + "\xA3\xA2");
    EXPECT_EQ(quotedField("a" + smile, 5), "a" + smile);
    EXPECT_EQ(quotedField("a" + smile, 4), "a");
    EXPECT_TRUE(isDialString("+8613912345678"));
    EXPECT_TRUE(isDialString("*99#"));
    EXPECT_FALSE(isDialString("1+2"));
    EXPECT_FALSE(isDialString(""));
    EXPECT_FALSE(isDialString("139\"1"));
    EXPECT_FALSE(isDialString("139\r"));
}

TEST(Json, EscapesControlAndInvalidBytes) {
    EXPECT_EQ(jsonString("a\"b\\c\n"), "\"a\\\"b\\\\c\\n\"");
    EXPECT_EQ(jsonString("王"), "\"王\"");
    EXPECT_EQ(jsonString(std::string("\x01\xff", 2)), "\"\\u0001\\u00ff\"");
}

TEST(LineSplitter, PromptLongLinesAndPartialInput) {
    at::AtLineSplitter s;
    s.feed("\r\n> ");
    EXPECT_FALSE(s.next(false).has_value());
    auto p = s.next(true);
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(*p, at::AtLineSplitter::kPrompt);
    s.feed("+CSQ: 1");
    EXPECT_FALSE(s.next().has_value());
    s.feed("7,99\r");
    EXPECT_EQ(s.next().value_or(""), "+CSQ: 17,99");
}

// A line past the buffer is discarded whole: its tail ("ERROR" here) must
// not come out as a line of its own and end the wrong command.
TEST(LineSplitter, OverlongLineIsDiscardedUpToItsEnd) {
    const std::size_t max = at::AtLineSplitter::kMaxLine;
    at::AtLineSplitter s;
    s.feed(std::string(max, 'a') + "\r\n");
    EXPECT_EQ(s.next().value_or("").size(), max);  // the last legal length
    s.feed(std::string(max + 1, 'b') + "\r\n+CSQ: 1,99\r\n");
    EXPECT_EQ(s.next().value_or(""), "+CSQ: 1,99");  // the first illegal one is gone
    EXPECT_EQ(s.takeDiscarded(), std::vector<std::size_t>{max + 1});
    // Fed in pieces, the tail after the limit looks like a final result.
    s.feed(std::string(max - 2, 'c'));
    s.feed(std::string(900, 'd'));
    EXPECT_FALSE(s.next().has_value());
    EXPECT_TRUE(s.takeDiscarded().empty());  // reported once it ends
    s.feed("ERROR\r\nOK\r\n");
    EXPECT_EQ(s.next().value_or(""), "OK");
    EXPECT_EQ(s.takeDiscarded(), std::vector<std::size_t>{max - 2 + 900 + 5});
    EXPECT_FALSE(s.next().has_value());
}

TEST(AtText, FieldsAndNumbers) {
    auto f = at::splitFields("1,\"a,b\",(1-5,7),,\"x");
    ASSERT_EQ(f.size(), 5u);
    EXPECT_EQ(f[1].text, "a,b");
    EXPECT_TRUE(f[1].quoted);
    EXPECT_EQ(f[2].text, "(1-5,7)");
    EXPECT_EQ(f[3].text, "");
    EXPECT_EQ(f[4].text, "x");
    EXPECT_EQ(at::parseInt("2147483647").value_or(-1), 2147483647);
    EXPECT_FALSE(at::parseInt("2147483648").has_value());
    EXPECT_FALSE(at::parseInt("-").has_value());
    EXPECT_FALSE(at::hexToBytes("ABC").has_value());
    EXPECT_FALSE(at::hexToBytes("ZZ").has_value());
}
