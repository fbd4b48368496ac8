// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/CountryCodeLookup.h"

namespace msgdesk {

namespace {
constexpr size_t kWithCountryCode = 13;  // "86" and an 11-digit mobile number
}

std::string lookupNameWithCountryCode(
    const std::string& number, const std::function<std::string(const std::string&)>& lookup) {
    if (!lookup) return {};
    std::string name = lookup(number);
    if (name.empty() && number.size() == kWithCountryCode && number.compare(0, 2, "86") == 0)
        name = lookup(number.substr(2));
    return name;
}

}  // namespace msgdesk
