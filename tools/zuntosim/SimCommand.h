// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace zuntosim {

// One command of an AT command line (V.250 5.2): "AT+CPBR=1,10" gives
// name "+CPBR", kind Set, args "1,10". Basic commands ("E0", "&F", "D123;")
// have their letter(s) as name and the rest as args.
struct SimCommand {
    enum class Kind { Exec, Set, Read, Test };
    std::string name;  // upper case
    Kind kind = Kind::Exec;
    std::string args;
};

// Splits a command line (without its CR). Returns false when it does not
// start with "AT" (case-insensitive). "AT" alone gives no commands.
bool parseCommandLine(std::string_view line, std::vector<SimCommand>& out);

// A count or index of up to six digits, nothing else (no sign, no blanks).
bool parseCount(std::string_view s, int& out);

// Splits an argument list at commas outside quotes; quotes are removed,
// blanks around bare values dropped.
std::vector<std::string> splitArgs(std::string_view args);

}  // namespace zuntosim
