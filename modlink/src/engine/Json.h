// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <string>
#include <string_view>

namespace modlink {

// A JSON string literal (with quotes) of UTF-8 text; bytes that are not
// valid UTF-8 are escaped as \u00XX so the line stays parseable.
std::string jsonString(std::string_view utf8);

}  // namespace modlink
