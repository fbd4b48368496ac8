// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace msgdesk {

// Comma-separated text as spreadsheet programs read and write it: a field
// holding a comma, a quote or a line break is quoted, quotes doubled; rows
// end with CR LF.
void appendCsvRow(std::string& out, const std::vector<std::string>& fields);

enum class CsvStatus { Ok, UnclosedQuote, JunkAfterQuote };

// Splits text into rows of fields. A quote left open at the end (a cut
// file) or text after a closing quote is refused: nothing is returned.
CsvStatus parseCsv(std::string_view text, std::vector<std::vector<std::string>>& rows);

}  // namespace msgdesk
