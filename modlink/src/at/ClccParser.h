// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace modlink::at {

// One call of AT+CLCC (3GPP TS 27.007 7.18):
// +CLCC: <id>,<dir>,<stat>,<mode>,<mpty>[,<number>,<type>[,<alpha>]]
struct CallEntry {
    int id = 0;
    int dir = 0;   // 0 mobile originated, 1 mobile terminated
    int stat = 0;  // 0 active, 1 held, 2 dialling, 3 alerting, 4 incoming, 5 waiting
    int mode = 0;  // 0 voice
    std::string number;
};

// The voice calls listed (data and fax calls are left out); malformed lines
// are skipped.
std::vector<CallEntry> parseClcc(const std::vector<std::string>& lines);

// The SIM index of "+CMTI: <mem>,<index>" (27.005 3.4.1); nullopt otherwise.
std::optional<int> parseCmti(const std::string& line);

// The number of "+CLIP: <number>,<type>[,...]" (27.007 7.6); empty when
// withheld. nullopt when the line is malformed.
std::optional<std::string> parseClip(const std::string& line);

// The range of AT+CLVL=? ("+CLVL: (0-5)"); nullopt when unreadable.
std::optional<std::pair<int, int>> parseClvlRange(const std::vector<std::string>& lines);

}  // namespace modlink::at
