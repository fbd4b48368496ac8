// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>
#include <string_view>

namespace msgdesk {

// A find text prepared once per keystroke: GBK, ASCII letters lowered (the
// trail bytes of two-byte characters are left alone: many are ASCII letters).
std::string foldFindText(std::string_view gbk);

// True when folded (from foldFindText) occurs in the GBK text hay starting at
// a character boundary of hay, ASCII letters compared without regard to case
// and two-byte characters byte for byte. An empty folded text matches.
bool gbkContains(std::string_view hay, std::string_view folded);

}  // namespace msgdesk
