// SPDX-License-Identifier: LGPL-2.1-or-later
// SMS-SUBMIT and SMS-DELIVER encoding: known PDUs, the alphabet choice and
// where long texts are cut.
#include <gtest/gtest.h>

#include "platform/Codepage.h"
#include "smspdu/SmsPdu.h"

using namespace modlink::pdu;
namespace cp = platform::codepage;

namespace {

SubmitOptions utf8() {
    SubmitOptions o;
    o.charset = Charset::Utf8;
    return o;
}

std::string repeat(std::string_view s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

// Decodes the parts of a send and checks their headers; returns the texts.
std::vector<std::string> decodeParts(const std::vector<SubmitPart>& parts, std::uint8_t ref,
                                     Encoding expected) {
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        EXPECT_EQ(parts[i].hex.substr(0, 2), "00");
        EXPECT_EQ(static_cast<std::size_t>(parts[i].tpduLength), parts[i].hex.size() / 2 - 1);
        auto m = decodePdu(parts[i].hex);
        EXPECT_TRUE(m.ok()) << m.error();
        if (!m) return texts;
        EXPECT_EQ(m->type, MessageType::Submit);
        EXPECT_EQ(m->encoding, expected);
        if (parts.size() == 1) {
            EXPECT_FALSE(m->concat.has_value());
        } else {
            EXPECT_TRUE(m->concat.has_value());
            if (m->concat) {
                EXPECT_EQ(*m->concat, (Concat{ref, static_cast<int>(i + 1),
                                              static_cast<int>(parts.size()), false}));
            }
        }
        texts.push_back(cp::ucs2ToUtf8(m->text));
    }
    return texts;
}

TEST(EncodeSubmit, ClassicExampleWithRelativeValidity) {
    SubmitOptions o = utf8();
    o.validityRelative = 0xAA;
    auto r = encodeSubmit("+46708251358", "hellohello", o);
    ASSERT_TRUE(r.ok()) << r.error();
    ASSERT_EQ(r->size(), 1u);
    EXPECT_EQ((*r)[0].hex, "0011000B916407281553F80000AA0AE8329BFD4697D9EC37");
    EXPECT_EQ((*r)[0].tpduLength, 23);
}

TEST(EncodeSubmit, GbkChineseGoesUcs2WithUnknownTypeNumber) {
    auto r = encodeSubmit("13912345678", cp::utf8ToGbk("你好"));
    ASSERT_TRUE(r.ok()) << r.error();
    ASSERT_EQ(r->size(), 1u);
    EXPECT_EQ((*r)[0].hex, "0001000B813119325476F80008044F60597D");
    EXPECT_EQ((*r)[0].tpduLength, 17);
}

TEST(EncodeSubmit, StatusReportRequestSetsSrr) {
    SubmitOptions o = utf8();
    o.statusReport = true;
    auto r = encodeSubmit("10086", "Hi", o);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ((*r)[0].hex,
              "00210005810180F60000"
              "02C834");
    auto m = decodePdu((*r)[0].hex);
    ASSERT_TRUE(m.ok());
    EXPECT_TRUE(m->statusReportRequested);
}

TEST(EncodeSubmit, ExtensionCharactersStayGsm7) {
    auto r = encodeSubmit("10086", cp::utf8ToGbk("[1€]"));
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_EQ((*r)[0].hex,
              "00010005810180F60000"
              "071B5E6C53DEF800");
}

struct SplitCase {
    const char* name;
    std::string text;
    std::size_t parts;
    Encoding encoding;
    std::vector<std::size_t> firstPartUnits;  // UTF-16 units of part 1 when split
};

// Shown by GoogleTest when a case fails, instead of the object's bytes.
void PrintTo(const SplitCase& c, std::ostream* os) {
    *os << c.name << " (" << cp::utf8ToUcs2(c.text).size() << " UTF-16 units, expects " << c.parts
        << " part(s) in " << (c.encoding == Encoding::Gsm7 ? "GSM 7-bit" : "UCS-2");
    if (!c.firstPartUnits.empty()) *os << ", " << c.firstPartUnits[0] << " units in part 1";
    *os << ")";
}

class SubmitSplit : public testing::TestWithParam<SplitCase> {};

TEST_P(SubmitSplit, CutsAtLimitsWithoutBreakingSequences) {
    const SplitCase& c = GetParam();
    SubmitOptions o = utf8();
    o.concatRef = 0x5A;
    auto r = encodeSubmit("+8613912345678", c.text, o);
    ASSERT_TRUE(r.ok()) << c.name << ": " << r.error();
    EXPECT_EQ(r->size(), c.parts) << c.name;
    auto texts = decodeParts(*r, 0x5A, c.encoding);
    std::string joined;
    for (const auto& t : texts) joined += t;
    EXPECT_EQ(joined, c.text) << c.name;
    if (!c.firstPartUnits.empty() && !texts.empty()) {
        EXPECT_EQ(cp::utf8ToUcs2(texts[0]).size(), c.firstPartUnits[0]) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Limits, SubmitSplit,
    testing::Values(
        SplitCase{"gsm7_160_fits", repeat("a", 160), 1, Encoding::Gsm7, {}},
        SplitCase{"gsm7_161_splits", repeat("a", 161), 2, Encoding::Gsm7, {153}},
        SplitCase{"euro_counts_two", repeat("a", 159) + "€", 2, Encoding::Gsm7, {153}},
        SplitCase{"euro_fits_at_158", repeat("a", 158) + "€", 1, Encoding::Gsm7, {}},
        SplitCase{
            "escape_not_split", repeat("a", 152) + "€" + repeat("a", 10), 2, Encoding::Gsm7, {152}},
        SplitCase{"ucs2_70_fits", repeat("你", 70), 1, Encoding::Ucs2, {}},
        SplitCase{"ucs2_71_splits", repeat("你", 71), 2, Encoding::Ucs2, {67}},
        SplitCase{"surrogate_not_split",
                  repeat("你", 66) + "😀" + repeat("你", 10),
                  2,
                  Encoding::Ucs2,
                  {66}},
        SplitCase{"mixed_120_two_parts", repeat("短信ab", 30), 2, Encoding::Ucs2, {67}},
        SplitCase{"gsm7_three_parts", repeat("0123456789", 40), 3, Encoding::Gsm7, {153}},
        // Where a second part no longer suffices: 2 x 153 septets, 2 x 67 units.
        SplitCase{"gsm7_306_two_parts", repeat("a", 306), 2, Encoding::Gsm7, {153}},
        SplitCase{"gsm7_307_three_parts", repeat("a", 307), 3, Encoding::Gsm7, {153}},
        SplitCase{"ucs2_134_two_parts", repeat("你", 134), 2, Encoding::Ucs2, {67}},
        SplitCase{"ucs2_135_three_parts", repeat("你", 135), 3, Encoding::Ucs2, {67}},
        SplitCase{"empty_text", "", 1, Encoding::Gsm7, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EncodeSubmit, At255PartsStillEncodesAndBeyondFails) {
    auto ok = encodeSubmit("10086", repeat("a", 153 * 255));
    ASSERT_TRUE(ok.ok()) << ok.error();
    EXPECT_EQ(ok->size(), 255u);
    auto tooLong = encodeSubmit("10086", repeat("a", 153 * 255 + 1));
    ASSERT_FALSE(tooLong.ok());
    EXPECT_NE(tooLong.error().find("256 parts"), std::string::npos) << tooLong.error();
}

TEST(EncodeSubmit, RejectsNumbersThatCannotBeDialled) {
    for (const char* bad : {"", "+", "abc", "139 1234", "123456789012345678901", "+86-139"}) {
        auto r = encodeSubmit(bad, "x");
        EXPECT_FALSE(r.ok()) << bad;
        EXPECT_FALSE(r.error().empty());
    }
    EXPECT_TRUE(encodeSubmit("12345678901234567890", "x").ok());
    EXPECT_TRUE(encodeSubmit("*100#", "x").ok());
}

DeliverRequest chineseRequest() {
    DeliverRequest s;
    s.number = "+8613912345678";
    s.text = "你好";
    s.timestamp = {3, 2, 15, 9, 30, 7, 32};
    s.smsc = "+8613800100500";
    return s;
}

TEST(EncodeDeliver, MatchesTheReceivedChinesePdu) {
    auto r = encodeDeliver(chineseRequest());
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_EQ(*r,
              "0891683108100005F0040D91683119325476F80008302051900370230"
              "44F60597D");
}

TEST(EncodeDeliver, GbkTextAndDefaultSmsc) {
    DeliverRequest s = chineseRequest();
    s.text = cp::utf8ToGbk("你好");
    s.charset = Charset::Gbk;
    s.smsc.clear();
    auto r = encodeDeliver(s);
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_EQ(r->substr(0, 4), "0004");
    auto m = decodePdu(*r);
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(cp::ucs2ToUtf8(m->text), "你好");
}

TEST(EncodeDeliver, AlphanumericSenderAndNegativeZone) {
    DeliverRequest s;
    s.number = "Info";
    s.text = "Hi";
    s.timestamp = {3, 2, 15, 9, 30, 7, -16};
    s.smsc = "+8613800100500";
    auto r = encodeDeliver(s);
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_EQ(*r,
              "0891683108100005F00407D049B7F90D000030205190037069"
              "02C834");
}

TEST(EncodeDeliver, NationalTypeOfAddressOnRequest) {
    DeliverRequest s = chineseRequest();
    s.number = "10086";
    s.typeOfAddress = 0xA1;
    auto m = decodePdu(encodeDeliver(s).value());
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(m->address.typeOfAddress, 0xA1);
    EXPECT_EQ(m->address.number, "10086");
}

TEST(EncodeDeliver, RejectsBadSenderNamesAndOverlongText) {
    DeliverRequest s = chineseRequest();
    s.number = "ABCDEFGHIJKL";  // 12 characters
    EXPECT_FALSE(encodeDeliver(s).ok());
    s.number = "银行";
    EXPECT_FALSE(encodeDeliver(s).ok());
    s = chineseRequest();
    s.text = repeat("你", 71);
    auto r = encodeDeliver(s);
    ASSERT_FALSE(r.ok());
    EXPECT_NE(r.error().find("more than 140"), std::string::npos) << r.error();
    s.text = repeat("你", 67);
    s.concat = Concat{1, 1, 2, false};
    EXPECT_TRUE(encodeDeliver(s).ok());
    s.concat = Concat{1, 1, 2, true};  // the 16-bit element leaves 66 units
    EXPECT_FALSE(encodeDeliver(s).ok());
}

TEST(EncodeDeliverParts, SplitsIntoExactlyNEvenParts) {
    DeliverRequest s = chineseRequest();
    s.text = repeat("你好", 60);  // 120 units: two parts needed, three asked
    s.concat = Concat{0, 0, 0, true};
    auto r = encodeDeliverParts(s, 3, 0x1234);
    ASSERT_TRUE(r.ok()) << r.error();
    ASSERT_EQ(r->size(), 3u);
    std::string joined;
    for (int i = 0; i < 3; ++i) {
        auto m = decodePdu((*r)[i]);
        ASSERT_TRUE(m.ok()) << m.error();
        ASSERT_TRUE(m->concat.has_value());
        EXPECT_EQ(*m->concat, (Concat{0x1234, i + 1, 3, true}));
        EXPECT_EQ(m->text.size(), 40u);
        joined += cp::ucs2ToUtf8(m->text);
    }
    EXPECT_EQ(joined, s.text);
}

TEST(EncodeDeliverParts, OnePartHasNoHeaderAndImpossibleCountsFail) {
    DeliverRequest s = chineseRequest();
    auto one = encodeDeliverParts(s, 1, 7);
    ASSERT_TRUE(one.ok());
    EXPECT_EQ(one->at(0), encodeDeliver(s).value());
    s.text = "abc";
    auto three = encodeDeliverParts(s, 3, 7);
    ASSERT_TRUE(three.ok());
    EXPECT_EQ(cp::ucs2ToUtf8(decodePdu(three->at(2)).value().text), "c");
    EXPECT_FALSE(encodeDeliverParts(s, 4, 7).ok());  // fewer characters than parts
    EXPECT_FALSE(encodeDeliverParts(s, 0, 7).ok());
    s.text = repeat("a", 400);
    EXPECT_FALSE(encodeDeliverParts(s, 2, 7).ok());  // 2 x 153 < 400
    EXPECT_TRUE(encodeDeliverParts(s, 3, 7).ok());
}

}  // namespace
