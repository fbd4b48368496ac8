// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace modlink::at {

// Status report indications (3GPP TS 27.005 3.4.1, PDU mode).
// +CDS: <length> / <pdu>: the report itself, routed to the phone. The PDU
// as +CMGR prints it (the SMSC part first, or none when its octets equal
// <length>). nullopt when the header's length or the PDU line is missing.
struct CdsReport {
    int length = -1;
    std::string pdu;  // hex
};
std::optional<CdsReport> parseCds(const std::vector<std::string>& lines);
// +CDSI: <mem>,<index>: a report stored on the SIM at index.
std::optional<int> parseCdsi(const std::string& line);

// +CUSD: <m>[,<str>[,<dcs>]] (27.007 7.15). The text is decoded to GBK:
// UCS-2 hex (what a modem in the UCS2 character set gives, and what a
// UCS-2 coded answer gives in any set), else the string as it came, with
// its line breaks kept (menus are several lines).
struct CusdAnswer {
    int status = 0;
    std::string textGbk;
};
std::optional<CusdAnswer> parseCusd(const std::string& line, bool ucs2Charset);

}  // namespace modlink::at
