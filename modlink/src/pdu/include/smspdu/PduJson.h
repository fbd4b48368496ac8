// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <string>
#include <string_view>

#include "smspdu/PduDecoder.h"
#include "smspdu/Result.h"
#include "smspdu/SmsMessage.h"

// What `modlink-tool pdu decode|encode` prints.
namespace modlink::pdu {

// One JSON object on one line: "type" (deliver/submit/status-report),
// "smsc", "number", "timestamp" (YYYY-MM-DDTHH:MM:SS+HH:MM, when the PDU
// has one), "encoding" (gsm7/ucs2/8bit), "text" (UTF-8) or "data" (hex, for
// 8bit), "concat" {"ref","part","total"} when present; a submit adds
// "reference" and "validity" (when relative), a status report "reference",
// "status" and "discharge". An Error's message is for the tool to print
// before exiting with status 1.
Result<std::string> decodePduToJson(std::string_view hex, const DecodeOptions& options = {});
std::string messageToJson(const SmsMessage& message);

// The SMS-SUBMIT PDUs for a UTF-8 text, one per line, each ending in '\n'.
Result<std::string> encodePduLines(std::string_view number, std::string_view utf8Text);

// A JSON string literal, quotes included; text is UTF-8.
std::string jsonString(std::string_view utf8);

// 2026-12-07T09:30:07+08:00 (two-digit years 90..99 are 19yy, others 20yy).
std::string isoTimestamp(const Timestamp& ts);

}  // namespace modlink::pdu
