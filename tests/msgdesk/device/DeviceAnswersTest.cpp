// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "device/DeviceAnswers.h"

namespace msgdesk::answers {
namespace {

TEST(DeviceAnswers, OkAndErrorTestsLookAtThePrefixOnly) {
    EXPECT_TRUE(isOk("OK"));
    EXPECT_TRUE(isOk("OK\r"));
    EXPECT_FALSE(isOk("ok"));
    EXPECT_FALSE(isOk(nullptr));
    EXPECT_TRUE(isError("ERROR: 500"));
    EXPECT_TRUE(isError("TIMEOUT"));
    EXPECT_FALSE(isError("TIMEOU"));
    EXPECT_FALSE(isError("+CMS ERROR: 500"));
    EXPECT_FALSE(isError(nullptr));
    // A locked SIM's answers are waited out, not retried.
    EXPECT_TRUE(isSimLockError("ERROR: SIM PIN"));
    EXPECT_TRUE(isSimLockError("ERROR: SIM PUK"));
    EXPECT_TRUE(isSimLockError("ERROR: PH-SIM PIN"));
    EXPECT_TRUE(isSimLockError("ERROR: SIM not inserted"));
    EXPECT_FALSE(isSimLockError("ERROR: SIM PI"));
    EXPECT_FALSE(isSimLockError("ERROR: +CME ERROR: 11"));
    EXPECT_FALSE(isSimLockError("ERROR"));
    EXPECT_FALSE(isSimLockError(nullptr));
}

TEST(DeviceAnswers, LeadingDecimalReadsLikeAtoi) {
    EXPECT_EQ(leadingDecimal("17"), 17);
    EXPECT_EQ(leadingDecimal("  -3x"), -3);
    EXPECT_EQ(leadingDecimal("x3"), 0);
    EXPECT_EQ(leadingDecimal(""), 0);
    EXPECT_EQ(leadingDecimal("99999999999999999999"), 2147483647);
}

TEST(DeviceAnswers, SimInfoCapacity) {
    struct Row {
        const char* text;
        char sep;
        std::optional<int> want;
    } rows[] = {
        {"\"1-250\"", '-', 250},
        {"\"12/40\"", '/', 40},
        {"\"1-\"", '-', std::nullopt},
        {"\"250\"", '-', std::nullopt},
        {"7", '-', 7},
        {"", '-', std::nullopt},
        {"\"1-30", '-', 30},  // a truncated answer still gives its number
        // No SIM holds more than 1000: a bogus size must not size an allocation.
        {"\"1-1000\"", '-', 1000},
        {"\"1-1001\"", '-', 1000},
        {"\"3/4294967296\"", '/', 1000},
        {"\"1-99999999999\"", '-', 1000},
        {"\"1-0\"", '-', 0},
    };
    for (auto& r : rows) EXPECT_EQ(simInfoCapacity(r.text, r.sep), r.want) << r.text;
}

TEST(DeviceAnswers, PhonebookEntry) {
    auto e = phonebookEntry("\"12\",\"+8613800138000\",\"张三\"");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->index, 12);
    EXPECT_EQ(e->number, "+8613800138000");
    EXPECT_EQ(e->name, "张三");
    auto empty = phonebookEntry("\"3\",\"\",\"\"");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->number, "");
    EXPECT_EQ(empty->name, "");
    EXPECT_FALSE(phonebookEntry("12,13800"));
    EXPECT_FALSE(phonebookEntry("\"12\",\"13800\""));
    EXPECT_FALSE(phonebookEntry(""));
}

TEST(DeviceAnswers, SmsTextCutsNumberStampAndBody) {
    auto f = smsText("\"8613800138000\",\"030215093007\",\"A, b \"c\" d\"", false);
    EXPECT_EQ(f.number, "8613800138000");
    EXPECT_EQ(f.stamp, "030215093007");
    EXPECT_EQ(f.body, "A, b ");
    EXPECT_EQ(f.date, "2003-02-15");
    EXPECT_EQ(f.time, "09:30:07");

    auto odd = smsText("\"1\",\"03021509300755\",\"x\"", false);
    EXPECT_EQ(odd.date, "0302155");
    EXPECT_EQ(odd.time, "9300755");

    auto noQuotes = smsText("no fields", false);
    EXPECT_EQ(noQuotes.number, "");
    EXPECT_EQ(noQuotes.body, "");

    // With text before the body's opening quote at p, p + 1 characters go
    // from that quote on, then the body ends at the next quote.
    auto shifted = smsText("\"1\",\"030215093007\",ab\"cdef\"", false);
    EXPECT_EQ(shifted.body, "abef");
}

TEST(DeviceAnswers, SmsTextForSimCopiesLeavesShortPiecesEmpty) {
    auto inbox = smsText("\"1\",\"030215093007\",\"\"", false);
    auto sim = smsText("\"1\",\"030215093007\",\"\"", true);
    EXPECT_EQ(inbox.body, "");
    EXPECT_EQ(sim.body, "");
    auto shortStamp = smsText("\"10086\",\"12\",\"hi\"", true);
    EXPECT_EQ(shortStamp.number, "10086");
    EXPECT_EQ(shortStamp.date, "");
    EXPECT_EQ(shortStamp.time, "");
    EXPECT_EQ(smsText("\"12\",\"12\",\"hi\"", false).time, "2");
}

TEST(DeviceAnswers, ResultCodes) {
    EXPECT_EQ(sendResultCode("OK"), 224);
    EXPECT_EQ(sendResultCode("ERROR"), 225);
    EXPECT_EQ(sendResultCode("TIMEOUT"), 258);
    EXPECT_EQ(sendResultCode("OK\r"), 0);
    EXPECT_EQ(phoneResultCode("OK"), 224);
    EXPECT_EQ(phoneResultCode("TIMEOUT!"), 258);
    EXPECT_EQ(phoneResultCode(nullptr), 225);
    EXPECT_EQ(callStatusCode("\"0\""), 0);
    EXPECT_EQ(callStatusCode("\"5\""), 5);
    EXPECT_EQ(callStatusCode("\"6\""), 225);
    EXPECT_EQ(callStatusCode(""), 225);
    EXPECT_EQ(signalLevel("99"), 4);
    EXPECT_EQ(signalLevel("31"), 31);
    EXPECT_EQ(signalLevel("32"), 4);
    EXPECT_EQ(signalLevel("ERROR"), std::nullopt);
}

}  // namespace
}  // namespace msgdesk::answers
