// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>
#include <vector>

#include "ModemState.h"

namespace zuntosim {

// The TPDU octets of a PDU that starts with its SMSC part: the <length> of
// +CMGR, +CMGL and +CMGS. -1 when the hex is malformed.
int tpduLength(const std::string& pduHex);

// Stores PDUs with one <stat> (0: received unread) at the lowest free SIM
// indexes; the indexes used, or none at all when they do not all fit.
std::vector<int> storeMessages(ModemState& s, const std::vector<std::string>& pdus, int stat = 0);

// The service centre that hands incoming messages to the modem: the home
// network's, whatever AT+CSCA says (that one is for sending).
inline constexpr const char* kDeliveringCentre = "+8613800100500";

// The SMS-DELIVER PDUs of an incoming message from number (UTF-8 text) in
// `parts` concatenated parts (1: a plain message), stamped with the
// present local time, each with the delivering centre's address. Empty
// with *error set when it cannot be encoded.
std::vector<std::string> deliverPdus(const std::string& number, const std::string& utf8, int parts,
                                     std::string* error);

// The messages AT+CMGS handed over, joined from their parts: number and
// UTF-8 text of each whole message, in the order they became whole.
struct SentMessage {
    std::string number;
    std::string text;
};
std::vector<SentMessage> sentMessages(const ModemState& s);

}  // namespace zuntosim
