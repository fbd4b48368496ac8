// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/CsvText.h"

namespace msgdesk {

void appendCsvRow(std::string& out, const std::vector<std::string>& fields) {
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i) out += ',';
        const std::string& f = fields[i];
        if (f.find_first_of(",\"\r\n") == std::string::npos) {
            out += f;
            continue;
        }
        out += '"';
        for (char c : f) {
            if (c == '"') out += '"';
            out += c;
        }
        out += '"';
    }
    out += "\r\n";
}

CsvStatus parseCsv(std::string_view text, std::vector<std::vector<std::string>>& rows) {
    std::vector<std::vector<std::string>> out;
    std::vector<std::string> row;
    std::string field;
    size_t i = 0;
    const size_t n = text.size();
    bool rowStarted = false;
    while (i < n) {
        char c = text[i];
        rowStarted = true;
        if (c == '"' && field.empty()) {
            // A quoted field: up to the quote that is not doubled.
            ++i;
            bool closed = false;
            while (i < n) {
                if (text[i] == '"') {
                    if (i + 1 < n && text[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    closed = true;
                    ++i;
                    break;
                }
                field += text[i++];
            }
            if (!closed) return CsvStatus::UnclosedQuote;
            if (i < n && text[i] != ',' && text[i] != '\r' && text[i] != '\n')
                return CsvStatus::JunkAfterQuote;
            continue;
        }
        if (c == ',') {
            row.push_back(std::move(field));
            field.clear();
            ++i;
        } else if (c == '\r' || c == '\n') {
            row.push_back(std::move(field));
            field.clear();
            out.push_back(std::move(row));
            row.clear();
            rowStarted = false;
            i += (c == '\r' && i + 1 < n && text[i + 1] == '\n') ? 2 : 1;
        } else {
            field += c;
            ++i;
        }
    }
    if (rowStarted) {
        row.push_back(std::move(field));
        out.push_back(std::move(row));
    }
    rows = std::move(out);
    return CsvStatus::Ok;
}

}  // namespace msgdesk
