// SPDX-License-Identifier: LGPL-2.1-or-later
#include "PduCaseFile.h"

#include <fstream>
#include <sstream>

namespace {

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : line) {
        if (c == '\t') {
            out.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    out.push_back(cur);
    return out;
}

}  // namespace

std::string unescapeValue(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        char n = s[++i];
        out += n == 'n' ? '\n' : n == 'r' ? '\r' : n == 't' ? '\t' : n;
    }
    return out;
}

std::vector<PduCase> loadPduCases(const std::vector<std::string>& files) {
    std::vector<PduCase> cases;
    for (const auto& name : files) {
        std::ifstream in(std::string(PDU_TEST_DATA) + "/" + name);
        if (!in) {
            cases.push_back({name, 0, "missing_file", "", {{"bad-line", name}}});
            continue;
        }
        std::string line;
        int n = 0;
        while (std::getline(in, line)) {
            ++n;
            if (line.empty() || line[0] == '#') continue;
            auto cols = splitTabs(line);
            PduCase c{name, n, cols[0], "", {}};
            if (cols.size() < 3) {
                c.fields.push_back({"bad-line", line});
                cases.push_back(c);
                continue;
            }
            for (char ch : unescapeValue(cols[1])) {
                if (ch != ' ') c.hex += ch;
            }
            for (std::size_t i = 2; i < cols.size(); ++i) {
                auto eq = cols[i].find('=');
                if (eq == std::string::npos) {
                    c.fields.push_back({"bad-line", cols[i]});
                } else {
                    c.fields.push_back({cols[i].substr(0, eq), cols[i].substr(eq + 1)});
                }
            }
            cases.push_back(c);
        }
    }
    return cases;
}
