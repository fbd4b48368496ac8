#pragma once
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
};

struct FinalResult {
    AtStatus status = AtStatus::Ok;
    int code = -1;  // the error number of +CME/+CMS ERROR, -1 when it is text or absent
};

// Classifies a line as a final result code. Call results count only when
// callResults is true: on other commands "NO CARRIER" is an unsolicited line.
bool parseFinalResult(std::string_view line, bool callResults, FinalResult& out);

const char* statusName(AtStatus s);

}  // namespace modlink::at
