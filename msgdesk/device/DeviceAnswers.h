// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <optional>
#include <string>
#include <string_view>

// Pure readers of the answer texts the device library delivers with its
// events. The const char* readers accept null, which is neither an OK nor an
// error answer.
namespace msgdesk::answers {

// Begins with "ERROR" or "TIMEOUT".
bool isError(const char* text);
// Begins with "OK".
bool isOk(const char* text);
// An error answer because the device's SIM is locked or missing ("ERROR:
// SIM PIN", "ERROR: SIM PUK", "ERROR: PH-SIM PIN", "ERROR: SIM not
// inserted"): it is read again when the SIM is unlocked, never retried.
bool isSimLockError(const char* text);

// The decimal at the start of the text as C's atoi reads it (leading blanks
// and a sign allowed); 0 when there is none. Saturates instead of
// overflowing.
int leadingDecimal(std::string_view text);

// Event 260: whole-string compare; 224 "OK", 225 "ERROR", 258 "TIMEOUT", else 0.
int sendResultCode(const char* text);
// Events 770..775: 224 OK answer, 258 "TIMEOUT...", else 225.
int phoneResultCode(const char* text);
// Event 776: 224 OK, 258 TIMEOUT, 225 ERROR, else the second byte '0'..'5'
// as 0..5, else 225.
int callStatusCode(const char* text);
// Event 4: the level 0..31, 4 for anything outside; nullopt for an error answer.
std::optional<int> signalLevel(const char* text);

// The most entries or messages a SIM card holds.
constexpr int kMaxSimCapacity = 1000;

// Events 3841/3842: the decimal after the first sep ('-' or '/'), read up to
// the next double quote, e.g. "\"1-250\"" -> 250. The cut is made only for a
// text longer than 2 bytes. nullopt when no digits are found;
// clamped to 0..kMaxSimCapacity.
std::optional<int> simInfoCapacity(std::string_view text, char sep);

// Event 516: "index","number","name".
struct PhonebookFields {
    int index = 0;
    std::string number;
    std::string name;
};
std::optional<PhonebookFields> phonebookEntry(std::string_view text);

// Event 261: "number","yyMMddhhmmss","body". guardShort (reads for the SIM
// listing) leaves a field empty when the text it would be cut from is no
// longer than 2 bytes.
struct SmsFields {
    std::string number;
    std::string stamp;
    std::string body;
    std::string date;
    std::string time;
    // A fourth field "ref:part:total" names a part of a concatenated
    // message; total stays 0 without it (or when it is malformed).
    int partRef = 0;
    int partNo = 0;
    int partTotal = 0;
};
SmsFields smsText(std::string_view text, bool guardShort);
// Reads the optional fourth field of event 261 into f.
void partField(std::string_view text, SmsFields& f);
// Date and time from a stamp: 12 digits give "20yy-MM-dd" and "hh:mm:ss";
// other lengths the raw halves.
std::string stampDate(std::string_view stamp);
std::string stampTime(std::string_view stamp);

}  // namespace msgdesk::answers
