// SPDX-License-Identifier: GPL-3.0-or-later
// The answer texts of the library's additions: send references (4099),
// status reports (4100) and USSD answers (4101), with the rows beside each
// limit.
#include <gtest/gtest.h>

#include "device/ReportAnswers.h"

namespace msgdesk::answers {
namespace {

TEST(ReportAnswers, SendReferencesRows) {
    struct Row {
        const char* text;
        int device;  // 0: refused
        std::vector<int> refs;
    } rows[] = {
        {"\"1\",\"0\"", 1, {0}},
        {"\"16\",\"254,255,0\"", 16, {254, 255, 0}},
        {"\"17\",\"1\"", 0, {}},
        {"\"0\",\"1\"", 0, {}},
        {"\"1\",\"256\"", 0, {}},
        {"\"1\",\"\"", 0, {}},
        {"\"1\",\"1,\"", 0, {}},
        {"\"1\",\"1 2\"", 0, {}},
        {"\"1\"", 0, {}},
        {"\"1\",\"2\",\"3\"", 0, {}},
        {"OK", 0, {}},
    };
    for (const Row& r : rows) {
        auto got = sendRefs(r.text);
        ASSERT_EQ(got.has_value(), r.device != 0) << r.text;
        if (!got) continue;
        EXPECT_EQ(got->device, r.device) << r.text;
        EXPECT_EQ(got->refs, r.refs) << r.text;
    }
    EXPECT_FALSE(sendRefs(nullptr));
}

TEST(ReportAnswers, StatusReportRows) {
    const std::string stamps = ",\"261207095959\",\"261207100005\"";
    struct Row {
        std::string text;
        int device;
        bool ok;
    } rows[] = {
        {"\"0\",\"+8613912345678\",\"0\"" + stamps, 1, true},
        {"\"255\",\"10086\",\"255\"" + stamps, 16, true},
        {"\"0\",\"10086\",\"0\"" + stamps, 0, false},                          // device 0
        {"\"0\",\"10086\",\"0\"" + stamps, 17, false},                         // device 17
        {"\"256\",\"10086\",\"0\"" + stamps, 1, false},                        // TP-MR over 255
        {"\"0\",\"10086\",\"256\"" + stamps, 1, false},                        // TP-ST over 255
        {"\"0\",\"\",\"0\"" + stamps, 1, false},                               // no number
        {"\"0\",\"10086\",\"0\",\"26120709595\",\"261207100005\"", 1, false},  // 11 digits
        {"\"0\",\"10086\",\"0\",\"261207095959\"", 1, false},                  // four fields
        {"ERROR", 1, false},
    };
    for (const Row& r : rows) {
        auto got = statusReport(r.text.c_str(), r.device);
        ASSERT_EQ(got.has_value(), r.ok) << r.text << " device " << r.device;
        if (!got) continue;
        EXPECT_EQ(got->device, r.device);
        EXPECT_EQ(got->stamp, "261207095959");
        EXPECT_EQ(got->discharge, "261207100005");
    }
    auto first = statusReport(rows[0].text.c_str(), 1);
    EXPECT_EQ(first->number, "+8613912345678");
    EXPECT_EQ(first->ref, 0);
    EXPECT_EQ(statusReport(rows[1].text.c_str(), 16)->status, 255);
}

TEST(ReportAnswers, UssdAnswerRows) {
    using K = UssdAnswer::Kind;
    struct Row {
        const char* text;
        K kind;
        int status;
        std::string body;
    } rows[] = {
        {"\"0\",\"Balance: 25.30\"", K::Answer, 0, "Balance: 25.30"},
        {"\"1\",\"1 Balance\n2 Data\"", K::Answer, 1, "1 Balance\n2 Data"},
        {"\"5\",\"\"", K::Answer, 5, ""},
        {"\"6\",\"x\"", K::Error, -1, "\"6\",\"x\""},
        {"TIMEOUT", K::Timeout, -1, ""},
        {"ERROR: +CME ERROR: 4", K::Error, -1, "ERROR: +CME ERROR: 4"},
    };
    for (const Row& r : rows) {
        auto a = ussdAnswer(r.text);
        EXPECT_EQ(a.kind, r.kind) << r.text;
        EXPECT_EQ(a.status, r.status) << r.text;
        EXPECT_EQ(a.text, r.body) << r.text;
    }
    EXPECT_EQ(ussdAnswer(nullptr).kind, K::Error);
}

}  // namespace
}  // namespace msgdesk::answers
