// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace platform {

// One argument of a string-table format: a whole number for %d (and %ld,
// %02d, %2ld ...) or a text for %s.
using FormatArg = std::variant<int64_t, std::string_view>;

// Fills the %d and %s placeholders of a string-table text from typed
// arguments. Texts from outside are only ever arguments, never formats.
// Returns nullopt when a placeholder and its argument disagree in kind or
// count, or the format holds an unknown conversion.
std::optional<std::string> tryFormat(std::string_view fmt, std::initializer_list<FormatArg> args);

// As tryFormat, but gives the unfilled format back on a mismatch so a caller
// never shows garbage.
std::string format(std::string_view fmt, std::initializer_list<FormatArg> args);

}  // namespace platform
