// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "store/CountryCodeLookup.h"

namespace msgdesk {
namespace {

struct LookupRow {
    const char* number;
    std::map<std::string, std::string> book;
    const char* name;
    std::vector<std::string> asked;  // the keys looked up, in order
};

void PrintTo(const LookupRow& r, std::ostream* os) {
    *os << '"' << r.number << "\" (" << std::string(r.number).size() << " characters)";
}

class CountryCodeLookupTable : public ::testing::TestWithParam<LookupRow> {};

TEST_P(CountryCodeLookupTable, NamesTheNumber) {
    const LookupRow& r = GetParam();
    std::vector<std::string> asked;
    auto lookup = [&](const std::string& n) {
        asked.push_back(n);
        auto it = r.book.find(n);
        return it == r.book.end() ? std::string() : it->second;
    };
    EXPECT_EQ(lookupNameWithCountryCode(r.number, lookup), r.name);
    EXPECT_EQ(asked, r.asked);
}

const std::string kMobile = "13912345678";

INSTANTIATE_TEST_SUITE_P(
    Rows, CountryCodeLookupTable,
    ::testing::Values(
        // 13 characters "86…": the full number first, then without "86".
        LookupRow{"8613912345678", {{kMobile, "Li"}}, "Li", {"8613912345678", kMobile}},
        LookupRow{"8613912345678",
                  {{"8613912345678", "Full"}, {kMobile, "Li"}},
                  "Full",
                  {"8613912345678"}},
        LookupRow{"8613912345678", {}, "", {"8613912345678", kMobile}},
        // The number without a country code is looked up once.
        LookupRow{"13912345678", {{kMobile, "Li"}}, "Li", {kMobile}},
        LookupRow{"13912345678", {}, "", {kMobile}},
        // Other lengths starting "86" are looked up unchanged only.
        LookupRow{"8612345", {{"12345", "Short"}}, "", {"8612345"}},
        LookupRow{"8612345", {{"8612345", "Seven"}}, "Seven", {"8612345"}},
        LookupRow{"861391234567", {{"1391234567", "Ten"}}, "", {"861391234567"}},
        LookupRow{"86139123456789", {{"139123456789", "Twelve"}}, "", {"86139123456789"}},
        // 13 characters not starting "86", and the "+86" form, stay as they are.
        LookupRow{"8513912345678", {{kMobile, "Li"}}, "", {"8513912345678"}},
        LookupRow{"6813912345678", {{kMobile, "Li"}}, "", {"6813912345678"}},
        LookupRow{"+8613912345678", {{kMobile, "Li"}}, "", {"+8613912345678"}},
        LookupRow{"", {}, "", {""}}));

TEST(CountryCodeLookup, NoLookupNamesNothing) {
    EXPECT_EQ(lookupNameWithCountryCode("8613912345678", {}), "");
}

}  // namespace
}  // namespace msgdesk
