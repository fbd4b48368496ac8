// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace modlink::at {

// One message of the SIM store as AT+CMGR / AT+CMGL print it in PDU mode
// (3GPP TS 27.005 3.4.2, 3.4.3): a header line and the PDU on the next line.
struct StoredPdu {
    int index = -1;   // +CMGL only
    int stat = 0;     // 0 unread, 1 read, 2 unsent, 3 sent; -1 left empty by the phone
    int length = -1;  // TPDU octets (the SMSC part not counted)
    std::string pdu;  // hex
};

// +CMGR: <stat>,[<alpha>],<length> / <pdu>. nullopt when the reply lacks
// the header, its fields or the PDU line.
std::optional<StoredPdu> parseCmgr(const std::vector<std::string>& lines);

// +CMGL: <index>,<stat>,[<alpha>],<length> / <pdu>, repeated. Entries with a
// malformed header or no PDU line are skipped and counted in *malformed.
std::vector<StoredPdu> parseCmgl(const std::vector<std::string>& lines, int* malformed = nullptr);

}  // namespace modlink::at
