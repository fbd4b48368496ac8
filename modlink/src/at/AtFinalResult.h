// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <optional>
#include <string_view>

namespace modlink::at {

enum class AtStatus {
    Ok,
    Error,       // plain ERROR
    CmeError,    // +CME ERROR: n (3GPP TS 27.007 9.2)
    CmsError,    // +CMS ERROR: n (3GPP TS 27.005 3.2.5)
    CallResult,  // NO CARRIER, BUSY, NO ANSWER, NO DIALTONE, CONNECT: ends ATD/ATA
    Timeout,     // no final result in time
    Unplugged,   // the port went away
    Cancelled,   // the link is closing
    Overflow,    // the reply was longer than a command may keep
};

struct FinalResult {
    AtStatus status = AtStatus::Ok;
    int code = -1;  // the error number of +CME/+CMS ERROR, -1 when it is text or absent
};

// Classifies a line as a final result code. Call results count only when
// callResults is true: on other commands "NO CARRIER" is an unsolicited line.
// The numeric codes "0" (OK) and "4" (ERROR) count only when numeric is true
// (the modem was told ATV0): in verbose mode a bare "0" is information.
bool parseFinalResult(std::string_view line, bool callResults, FinalResult& out,
                      bool numeric = false);

// The result code format a command line leaves the modem in: true after V0
// (V.250 6.2.6), false after V1, nullopt when the line sets neither.
std::optional<bool> numericResultsAfter(std::string_view commandLine);

const char* statusName(AtStatus s);

}  // namespace modlink::at
