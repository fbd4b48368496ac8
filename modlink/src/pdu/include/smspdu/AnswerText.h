// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <string>
#include <string_view>

#include "smspdu/SmsMessage.h"

namespace modlink::pdu {

// The answer text of a read message (event 261), in GBK (GB18030 for what
// GBK lacks):
//   "number","yyMMddhhmmss","body"
// and for a part of a concatenated message a fourth field "ref:part:total"
// (the 8- or 16-bit reference in decimal, the part 1-based).
// The number keeps '+' for international numbers (an alphanumeric sender
// is its name), the time stamp is TP-SCTS in the sender's own local time
// (twelve zeros for a stored SMS-SUBMIT, which has none), the body is the
// whole text, emoji and rare characters in their four-byte GB18030 form
// (8-bit data gives an empty body). No field holds a raw '"': each becomes the full-width quotation
// mark (GBK A3 A2), so the receiver's cut at the next quote loses nothing;
// NUL characters are dropped since the text travels NUL-terminated.
std::string answerText(const SmsMessage& message);

// The text of a status report (event 4100), 23.040 9.2.2.3:
//   "TP-MR","TP-RA","TP-ST","yyMMddhhmmss","yyMMddhhmmss"
// the reference in decimal, the recipient (with '+' when international),
// the status in decimal, the centre's time stamp and the discharge time.
std::string statusReportText(const SmsMessage& report);

// Twelve digits yyMMddhhmmss of a time stamp.
std::string compactTimestamp(const Timestamp& ts);

// Replaces each raw double quote of a GBK field by the full-width one and
// drops NUL bytes. No byte of a multibyte character is 0x22, so this is
// byte-safe.
std::string quoteSafeField(std::string_view gbk);

}  // namespace modlink::pdu
