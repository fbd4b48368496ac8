// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace modlink::at {

// Message storage (3GPP TS 27.005 3.2.2). The read form names each memory:
// +CPMS: "SM",12,30,"SM",12,30,"SM",12,30; the set form does not:
// +CPMS: 12,30,12,30,12,30. Gives the used and total of the first memory
// that is the SIM ("SM"), or of the first memory when none is named.
struct MessageStoreSize {
    int used = 0;
    int total = 0;
};
std::optional<MessageStoreSize> parseCpms(const std::vector<std::string>& lines);

}  // namespace modlink::at
