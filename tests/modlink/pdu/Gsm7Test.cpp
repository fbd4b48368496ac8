// SPDX-License-Identifier: LGPL-2.1-or-later
// The 7-bit alphabet tables and septet packing.
#include <gtest/gtest.h>

#include "pdu/Gsm7.h"
#include "smspdu/Hex.h"

using namespace modlink::pdu;

namespace {

TEST(Gsm7, PacksTheStandardHelloExample) {
    std::u16string text = u"hellohello";
    auto packed = gsm7::pack(gsm7::toSeptets(text));
    EXPECT_EQ(bytesToHex(packed), "E8329BFD4697D9EC37");
    EXPECT_EQ(gsm7::fromSeptets(gsm7::unpack(packed, 10)), text);
}

TEST(Gsm7, EveryCharacterOfBothTablesRoundTrips) {
    // All 127 default characters (the escape has none) and the ten extension ones.
    std::u16string all;
    for (int s = 0; s < 128; ++s) {
        if (s == gsm7::kEscape) continue;
        std::uint8_t one[] = {static_cast<std::uint8_t>(s)};
        auto ch = gsm7::fromSeptets(one);
        ASSERT_EQ(ch.size(), 1u) << s;
        EXPECT_EQ(gsm7::septetsFor(ch[0]), 1) << s;
        all += ch;
    }
    std::u16string ext = u"\f^{}\\[~]|\u20AC";
    for (char16_t c : ext) EXPECT_EQ(gsm7::septetsFor(c), 2) << static_cast<int>(c);
    all += ext;
    auto septets = gsm7::toSeptets(all);
    EXPECT_EQ(septets.size(), 127u + 2 * ext.size());
    EXPECT_EQ(gsm7::fromSeptets(septets), all);
}

TEST(Gsm7, KnowsWhichCharactersAreOutside) {
    EXPECT_TRUE(gsm7::canEncode(u"Hello @£$¥ ΔΦ € [x]"));
    EXPECT_FALSE(gsm7::canEncode(u"`"));
    EXPECT_FALSE(gsm7::canEncode(u"你"));
    EXPECT_FALSE(gsm7::canEncode(u"\x1B"));  // the escape itself is no character
    EXPECT_EQ(gsm7::toSeptets(u"a你"), (std::vector<std::uint8_t>{0x61, 0x3F}));
}

TEST(Gsm7, DecodesOddEscapesLikeAPhone) {
    std::uint8_t trailing[] = {0x41, gsm7::kEscape};
    EXPECT_EQ(gsm7::fromSeptets(trailing), u"A");
    std::uint8_t unknown[] = {gsm7::kEscape, 0x41};
    EXPECT_EQ(gsm7::fromSeptets(unknown), u"A");
    std::uint8_t twice[] = {gsm7::kEscape, gsm7::kEscape, 0x41};
    EXPECT_EQ(gsm7::fromSeptets(twice), u" A");
}

TEST(Gsm7, PackUnpackRoundTripsAtEveryLengthAndOffset) {
    for (std::size_t offset = 0; offset < 9; ++offset) {
        for (std::size_t n = 0; n < 24; ++n) {
            std::vector<std::uint8_t> septets;
            for (std::size_t i = 0; i < n; ++i)
                septets.push_back(static_cast<std::uint8_t>((i * 37 + offset) & 0x7F));
            auto packed = gsm7::pack(septets, offset);
            EXPECT_EQ(packed.size(), gsm7::packedLength(offset + n));
            auto back = gsm7::unpack(packed, offset + n);
            ASSERT_EQ(back.size(), offset + n);
            for (std::size_t i = 0; i < offset; ++i) EXPECT_EQ(back[i], 0) << offset << "/" << n;
            EXPECT_TRUE(std::equal(septets.begin(), septets.end(), back.begin() + offset))
                << offset << "/" << n;
        }
    }
}

TEST(Gsm7, UnpackStopsAtTheEndOfShortInput) {
    std::uint8_t one[] = {0xFF};
    EXPECT_EQ(gsm7::unpack(one, 5).size(), 2u);  // bits 0-6 and 7-13 start inside
}

}  // namespace
