// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "NameCodec.h"

namespace modlink::at {

// AT+CPBR=? (3GPP TS 27.007 8.12): "+CPBR: (1-250),40,14".
struct PhonebookGeometry {
    int first = 1;
    int last = 0;
    int numberLength = -1;
    int textLength = -1;
};
std::optional<PhonebookGeometry> parseCpbrTest(const std::vector<std::string>& lines);

// AT+CPBR=i[,j]: one "+CPBR: <index>,<number>,<type>,<text>[,...]" per
// entry. Names are GBK. Numbers are kept as the phone gave them (a '+' is
// added for type 145); an entry whose number holds control or non-ASCII
// bytes is dropped. Malformed lines are skipped and counted; notes gets a
// line for the trace for each entry dropped or kept with such a number.
struct PhonebookEntry {
    int index = 0;
    std::string number;
    std::string name;
};
std::vector<PhonebookEntry> parseCpbrEntries(const std::vector<std::string>& lines, Charset cs,
                                             int* malformed = nullptr,
                                             std::vector<std::string>* notes = nullptr);

// The argument list of AT+CPBW=<index>,"<number>",<type>,"<text>". Number
// and name are cut first (20 and 22 bytes, at a character boundary).
std::string cpbwArguments(int index, const std::string& number, const std::string& name,
                          Charset cs);

}  // namespace modlink::at
