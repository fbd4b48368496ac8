// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Readers of the answer texts of the library's additions: send references
// (4099), status reports (4100) and USSD answers (4101).
namespace msgdesk::answers {

// The fields of a text of double-quoted fields separated by commas
// ("a","b"); nullopt when it is not one.
std::optional<std::vector<std::string>> quotedFields(std::string_view text);

// Event 4099 "d","r1,r2,...": the device a send went out on and the TP-MR
// of each part in part order (0..255 each).
struct SendRefs {
    int device = 0;
    std::vector<int> refs;
};
std::optional<SendRefs> sendRefs(const char* text);

// Event 4100 "ref","number","st","yyMMddhhmmss","yyMMddhhmmss".
struct StatusReport {
    int device = 0;  // the event's param
    int ref = 0;     // TP-MR 0..255
    std::string number;
    int status = 0;         // TP-ST 0..255
    std::string stamp;      // the centre's time stamp, 12 digits
    std::string discharge;  // when delivered or given up, 12 digits
};
std::optional<StatusReport> statusReport(const char* text, int device);

// Event 4101 "m","text" (GBK), or an error answer (ERROR..., TIMEOUT).
struct UssdAnswer {
    enum class Kind { Answer, Timeout, Error } kind = Kind::Error;
    int status = -1;   // +CUSD <m>: 0 done, 1 waits for a reply, 2 ended, 4, 5
    std::string text;  // GBK; for an error, the library's answer
};
UssdAnswer ussdAnswer(const char* text);

}  // namespace msgdesk::answers
