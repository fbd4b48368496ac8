// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <cstddef>
#include <optional>
#include <string_view>

#include "smspdu/Result.h"
#include "smspdu/SmsMessage.h"

namespace modlink::pdu {

struct DecodeOptions {
    // PDUs as +CMGR / +CMGL print them start with the SMSC address part;
    // false for a bare TPDU.
    bool hasSmsc = true;
    // The <length> of +CMGR / +CMGL (TPDU octets), when known: a PDU of
    // exactly that many octets is taken to have no SMSC part, which copes
    // with modems that leave it out.
    std::optional<std::size_t> tpduLength;
};

// Decodes an SMS-DELIVER, SMS-SUBMIT or SMS-STATUS-REPORT from hex.
// The TP-MTI decides the type, read as a mobile station reads its own
// store: 0 deliver, 1 submit, 2 status report, and the reserved 3 as a
// deliver (23.040 9.2.3.1). Never throws and never reads past the end;
// a malformed PDU gives an Error naming the field.
Result<SmsMessage> decodePdu(std::string_view hex, const DecodeOptions& options = {});

}  // namespace modlink::pdu
