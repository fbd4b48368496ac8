// SPDX-License-Identifier: LGPL-2.1-or-later
// Seeded random texts through encode -> decode: what goes out comes back.
#include <gtest/gtest.h>

#include <random>

#include "pdu/Gsm7.h"
#include "platform/Codepage.h"
#include "smspdu/SmsPdu.h"

using namespace modlink::pdu;
namespace cp = platform::codepage;

namespace {

// Pools of characters, as UTF-8: GSM default, GSM extension, Chinese
// (GBK holds all of them), outside the BMP (UTF-8 input only).
const std::vector<std::string> kGsm = {"a",  "Z", "0", " ", "@", "£",  "$", "¥",
                                       "è",  "Δ", "_", "ß", "!", "\"", "?", "\n",
                                       "\r", "Ö", "§", "¿", "à", "Ç",  "É"};
const std::vector<std::string> kExt = {"€", "[", "]", "~", "{", "}", "\\", "^", "|"};
const std::vector<std::string> kChinese = {"你", "好", "短", "信", "中", "文", "，", "。", "！"};
const std::vector<std::string> kAstral = {"😀", "𠀀", "🚀"};

std::string randomText(std::mt19937& rng, bool chinese, bool astral, int maxLen) {
    std::uniform_int_distribution<int> len(0, maxLen);
    std::uniform_int_distribution<int> pool(0, 9);
    std::string out;
    for (int i = 0, n = len(rng); i < n; ++i) {
        int p = pool(rng);
        const auto& from = (p == 0 && astral)    ? kAstral
                           : (p <= 2 && chinese) ? kChinese
                           : (p == 3)            ? kExt
                                                 : kGsm;
        out += from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(rng)];
    }
    return out;
}

void checkSubmitRoundTrip(const std::string& utf8, const std::vector<SubmitPart>& parts,
                          std::uint8_t ref) {
    std::u16string expected = cp::utf8ToUcs2(utf8);
    Encoding enc = gsm7::canEncode(expected) ? Encoding::Gsm7 : Encoding::Ucs2;
    std::u16string joined;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        auto m = decodePdu(parts[i].hex);
        ASSERT_TRUE(m.ok()) << m.error();
        EXPECT_EQ(m->encoding, enc);
        EXPECT_EQ(static_cast<std::size_t>(parts[i].tpduLength), parts[i].hex.size() / 2 - 1);
        std::size_t limit = parts.size() == 1 ? (enc == Encoding::Gsm7 ? 160 : 70)
                                              : (enc == Encoding::Gsm7 ? 153 : 67);
        EXPECT_LE(splitter::cost(enc, m->text), limit);
        if (parts.size() > 1) {
            ASSERT_TRUE(m->concat.has_value());
            EXPECT_EQ(m->concat->ref, ref);
            EXPECT_EQ(m->concat->part, static_cast<int>(i + 1));
            EXPECT_EQ(m->concat->total, static_cast<int>(parts.size()));
        }
        joined += m->text;
    }
    EXPECT_EQ(cp::ucs2ToUtf8(joined), utf8);
}

TEST(RoundTrip, Utf8SubmitTexts) {
    std::mt19937 rng(20261207);
    for (int i = 0; i < 400; ++i) {
        std::string text = randomText(rng, i % 2 == 0, i % 4 == 0, 420);
        SubmitOptions o;
        o.charset = Charset::Utf8;
        o.concatRef = static_cast<std::uint8_t>(i);
        auto parts = encodeSubmit("+8613912345678", text, o);
        ASSERT_TRUE(parts.ok()) << parts.error();
        SCOPED_TRACE(text);
        checkSubmitRoundTrip(text, *parts, o.concatRef);
    }
}

TEST(RoundTrip, GbkSubmitTexts) {
    std::mt19937 rng(4711);
    for (int i = 0; i < 300; ++i) {
        std::string text = randomText(rng, i % 3 != 0, false, 300);
        // GBK cannot hold every GSM character (e.g. Δ, Ç), so compare against
        // what the GBK text means.
        std::string gbk = cp::utf8ToGbk(text);
        auto parts = encodeSubmit("13912345678", gbk);
        ASSERT_TRUE(parts.ok()) << parts.error();
        SCOPED_TRACE(text);
        checkSubmitRoundTrip(cp::gbkToUtf8(gbk), *parts, 0);
    }
}

TEST(RoundTrip, DeliverPartsWithEveryAddressKind) {
    std::mt19937 rng(99);
    const std::vector<std::string> numbers = {"+8613912345678", "10086", "Info", "*123#",
                                              "BankAlert"};
    for (int i = 0; i < 200; ++i) {
        DeliverRequest s;
        s.number = numbers[i % numbers.size()];
        s.text = randomText(rng, i % 2 == 1, i % 3 == 0, 250);
        std::uniform_int_distribution<int> q(-48, 56);
        s.timestamp = {i % 100, 1 + i % 12, 1 + i % 28, i % 24, i % 60, (i * 7) % 60, q(rng)};
        s.smsc = i % 2 ? "+8613800100500" : "";
        s.concat = Concat{0, 0, 0, i % 2 == 0};
        std::u16string units = cp::utf8ToUcs2(s.text);
        std::size_t need = (splitter::cost(splitter::chooseEncoding(units), units) + 65) / 66;
        int parts = static_cast<int>(std::max<std::size_t>(1, need)) + i % 2;
        auto pdus = encodeDeliverParts(s, parts, static_cast<std::uint16_t>(i * 301));
        auto characters = std::count_if(units.begin(), units.end(),
                                        [](char16_t c) { return c < 0xDC00 || c > 0xDFFF; });
        if (parts > 1 && characters < parts) {
            EXPECT_FALSE(pdus.ok());
            continue;
        }
        ASSERT_TRUE(pdus.ok()) << pdus.error() << " " << s.text;
        std::u16string joined;
        for (const auto& hex : *pdus) {
            auto m = decodePdu(hex);
            ASSERT_TRUE(m.ok()) << m.error();
            EXPECT_EQ(m->type, MessageType::Deliver);
            EXPECT_EQ(m->address.number, s.number);
            EXPECT_EQ(m->smsc.number, s.smsc);
            ASSERT_TRUE(m->timestamp.has_value());
            EXPECT_EQ(*m->timestamp, s.timestamp);
            EXPECT_EQ(m->concat.has_value(), parts > 1);
            joined += m->text;
        }
        EXPECT_EQ(cp::ucs2ToUtf8(joined), s.text);
    }
}

}  // namespace
