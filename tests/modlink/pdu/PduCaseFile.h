// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <ostream>
#include <string>
#include <vector>

// One line of a case file under tests/data/pdu/ (see README.txt there).
struct PduCase {
    std::string file;
    int line = 0;
    std::string name;
    std::string hex;
    std::vector<std::pair<std::string, std::string>> fields;  // in file order
};

// Shown by GoogleTest instead of the object's bytes.
inline void PrintTo(const PduCase& c, std::ostream* os) {
    *os << c.file << ":" << c.line << " " << c.name;
}

// All cases of the given files, in order; a line that cannot be read
// becomes a case with the key "bad-line" so the test reports it.
std::vector<PduCase> loadPduCases(const std::vector<std::string>& files);

// \n \r \t \\ escapes of a value.
std::string unescapeValue(const std::string& s);
