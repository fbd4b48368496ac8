// SPDX-License-Identifier: LGPL-2.1-or-later
// What ends a command and how much of a reply one command keeps: numeric
// result codes only after ATV0, and a bound on the lines and bytes a reply
// may hold, so a modem that streams junk fails the command instead of
// growing the process.
#include <gtest/gtest.h>

#include "at/AtFinalResult.h"
#include "at/AtReplyAssembler.h"

using namespace modlink::at;

namespace {

AtReplyAssembler::Outcome feedAll(AtReplyAssembler& a, const std::vector<std::string>& lines) {
    auto last = AtReplyAssembler::Outcome::Consumed;
    for (const auto& l : lines) last = a.feed(l);
    return last;
}

}  // namespace

TEST(FinalResult, BareDigitsEndACommandOnlyInNumericMode) {
    FinalResult fr;
    EXPECT_FALSE(parseFinalResult("0", false, fr));
    EXPECT_FALSE(parseFinalResult("4", false, fr));
    ASSERT_TRUE(parseFinalResult("0", false, fr, true));
    EXPECT_EQ(fr.status, AtStatus::Ok);
    ASSERT_TRUE(parseFinalResult("4", false, fr, true));
    EXPECT_EQ(fr.status, AtStatus::Error);
    EXPECT_FALSE(parseFinalResult("1", false, fr, true));  // CONNECT: not an end for these
    EXPECT_TRUE(parseFinalResult("OK", false, fr, true));  // verbose words still count

    UnsolicitedRouter router;
    AtReplyAssembler a(router);
    AtCommand raw;
    raw.text = "AT+CGSN";
    a.begin(raw);
    EXPECT_EQ(feedAll(a, {"4", "0", "OK"}), AtReplyAssembler::Outcome::Complete);
    EXPECT_EQ(a.reply().lines, (std::vector<std::string>{"4", "0"}));
    a.begin(raw, true);
    EXPECT_EQ(a.feed("4"), AtReplyAssembler::Outcome::Complete);
    EXPECT_EQ(a.reply().status, AtStatus::Error);
}

TEST(FinalResult, CommandLinesThatSwitchTheResultFormat) {
    EXPECT_EQ(numericResultsAfter("ATV0"), true);
    EXPECT_EQ(numericResultsAfter("ATV"), true);
    EXPECT_EQ(numericResultsAfter("ate0v0"), true);
    EXPECT_EQ(numericResultsAfter("ATE0 Q0 V1"), false);
    EXPECT_EQ(numericResultsAfter("AT&FV0"), true);
    EXPECT_EQ(numericResultsAfter("ATS0=1V0"), true);
    EXPECT_EQ(numericResultsAfter("ATV0;+CMEE=1;V1"), false);  // the last one holds
    EXPECT_EQ(numericResultsAfter("AT"), std::nullopt);
    EXPECT_EQ(numericResultsAfter("AT&V0"), std::nullopt);  // &V shows the profile
    EXPECT_EQ(numericResultsAfter("AT+CPBW=1,\"V0\""), std::nullopt);
    EXPECT_EQ(numericResultsAfter("ATD123V0;"), std::nullopt);  // part of a dial string
    EXPECT_EQ(numericResultsAfter("V0"), std::nullopt);
}

TEST(ReplyBound, LinesAtTheLimitAreKeptOneMoreFailsTheCommand) {
    UnsolicitedRouter router;
    AtReplyAssembler a(router);
    AtCommand raw;
    raw.text = "AT+CPBW=1";
    for (std::size_t n : {AtReplyAssembler::kMaxLines - 1, AtReplyAssembler::kMaxLines,
                          AtReplyAssembler::kMaxLines + 1}) {
        a.begin(raw);
        for (std::size_t i = 0; i < n; ++i) a.feed("junk");
        EXPECT_EQ(a.feed("OK"), AtReplyAssembler::Outcome::Complete);
        bool over = n > AtReplyAssembler::kMaxLines;
        EXPECT_EQ(a.overflowed(), over) << n;
        EXPECT_EQ(a.reply().status, over ? AtStatus::Overflow : AtStatus::Ok) << n;
        EXPECT_EQ(a.reply().lines.size(), over ? 0u : n) << n;
    }
    // A new command starts with nothing kept and no overflow.
    a.begin(raw);
    EXPECT_EQ(feedAll(a, {"x", "OK"}), AtReplyAssembler::Outcome::Complete);
    EXPECT_TRUE(a.reply().ok());
}

TEST(ReplyBound, BytesAreBoundedToo) {
    UnsolicitedRouter router;
    AtReplyAssembler a(router);
    AtCommand cmd;
    cmd.text = "AT+CMGL=4";
    cmd.prefixes = {"+CMGL:"};  // expected lines count as well
    const std::size_t line = 4000;
    const std::size_t fit = AtReplyAssembler::kMaxBytes / line;
    a.begin(cmd);
    for (std::size_t i = 0; i < fit; ++i) a.feed("+CMGL:" + std::string(line - 6, '0'));
    EXPECT_FALSE(a.overflowed());
    a.feed("+CMGL:" + std::string(line - 6, '0'));
    EXPECT_TRUE(a.overflowed());
    a.feed("ERROR");
    EXPECT_EQ(a.reply().status, AtStatus::Overflow);  // the bound wins over ERROR
}
