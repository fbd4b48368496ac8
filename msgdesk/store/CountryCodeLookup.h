// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <functional>
#include <string>

namespace msgdesk {

// Looks a phone number's name up: the number as it is first; a 13-character
// number starting "86" (a mainland mobile with its country code) is then
// looked up without the "86", since the book holds such numbers without it.
// Any other length is looked up only as it is. lookup returns "" for none.
// Receiving and the message list both name numbers this way.
std::string lookupNameWithCountryCode(const std::string& number,
                                      const std::function<std::string(const std::string&)>& lookup);

}  // namespace msgdesk
