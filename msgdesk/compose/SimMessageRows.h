// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>
#include <vector>

#include "store/MessageRecord.h"

namespace msgdesk {

class SimMessageCache;

// One row of the SIM message manager: a message on a SIM, whole or joined
// from the SIM copies of its parts.
struct SimMessageRow {
    // The first part's record (number, contact, date, time, device, key)
    // with Text = the start of the whole text, cut as an InBox row's is.
    MessageRecord rec;
    std::string whole;              // GBK; a missing part marked by "…"
    std::vector<std::string> keys;  // "<sim index>/<device>" of every copy, in part order
    int parts = 1;                  // how many parts the message was sent in
};

// The rows of the cache in its order, of one device (or all when device
// is 0). Parts join by device, sender, reference and count, in the place
// of the first that came, whether or not all of them are on the SIM.
std::vector<SimMessageRow> JoinSimMessages(const SimMessageCache& cache, int device);

}  // namespace msgdesk
