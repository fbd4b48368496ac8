// SPDX-License-Identifier: LGPL-2.1-or-later
// The event-261 answer text and the JSON of the tool.
#include <gtest/gtest.h>

#include "platform/Codepage.h"
#include "smspdu/SmsPdu.h"

using namespace modlink::pdu;
namespace cp = platform::codepage;

namespace {

SmsMessage deliver(std::u16string text) {
    SmsMessage m;
    m.address.number = "+8613912345678";
    m.address.typeOfAddress = 0x91;
    m.timestamp = Timestamp{26, 12, 7, 9, 5, 3, 32};
    m.encoding = Encoding::Ucs2;
    m.text = std::move(text);
    return m;
}

TEST(AnswerText, QuotesInEveryFieldBecomeFullWidth) {
    SmsMessage m = deliver(u"say \"hi\"");
    m.address.number = "A\"B";
    m.address.typeOfAddress = 0xD0;
    std::string a = answerText(m);
    EXPECT_EQ(a,
              "\"A\xA3\xA2"
              "B\",\"261207090503\",\"say \xA3\xA2hi\xA3\xA2\"");
    // Exactly six raw quotes remain: the field delimiters.
    EXPECT_EQ(std::count(a.begin(), a.end(), '"'), 6);
}

TEST(AnswerText, BodyKeepsEmojiAndHasNoNul) {
    SmsMessage m = deliver(std::u16string(u"\u4F60\U0001F600\u00E9\u0000x", 6));
    std::string a = answerText(m);
    EXPECT_EQ(cp::gbkToUtf8(a), "\"+8613912345678\",\"261207090503\",\"你😀éx\"");
    EXPECT_EQ(a.find('\0'), std::string::npos);
}

TEST(AnswerText, StoredSubmitHasZeroTimestamp) {
    SmsMessage m = deliver(u"hi");
    m.type = MessageType::Submit;
    m.timestamp.reset();
    EXPECT_EQ(answerText(m), "\"+8613912345678\",\"000000000000\",\"hi\"");
}

TEST(Json, EscapesControlCharactersQuotesAndBackslashes) {
    EXPECT_EQ(jsonString("a\"b\\c\n\r\t\x01\x1F"
                         "中"),
              "\"a\\\"b\\\\c\\n\\r\\t\\u0001\\u001f中\"");
}

TEST(Json, TimeZonesInHoursAndMinutes) {
    EXPECT_EQ(isoTimestamp({26, 1, 2, 3, 4, 5, -14}), "2026-01-02T03:04:05-03:30");
    EXPECT_EQ(isoTimestamp({99, 12, 31, 23, 59, 59, 0}), "1999-12-31T23:59:59+00:00");
    EXPECT_EQ(isoTimestamp({0, 1, 1, 0, 0, 0, 39}), "2000-01-01T00:00:00+09:45");
}

TEST(Json, DecodeReportsMalformedPduAsError) {
    auto r = decodePduToJson("0891683108100005F00");
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error(), "odd number of hex digits (19)");
}

TEST(Json, EncodeLinesGivesOnePduPerLine) {
    auto one = encodePduLines("+46708251358", "hellohello");
    ASSERT_TRUE(one.ok());
    EXPECT_EQ(*one, "0001000B916407281553F800000AE8329BFD4697D9EC37\n");
    std::string text;
    for (int i = 0; i < 30; ++i) text += "短信ab";
    auto two = encodePduLines("13912345678", text);
    ASSERT_TRUE(two.ok());
    EXPECT_EQ(std::count(two->begin(), two->end(), '\n'), 2);
    auto bad = encodePduLines("not a number", "x");
    ASSERT_FALSE(bad.ok());
    EXPECT_NE(bad.error().find("not a valid phone number"), std::string::npos);
}

}  // namespace
