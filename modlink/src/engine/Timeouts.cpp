// SPDX-License-Identifier: LGPL-2.1-or-later
#include "Timeouts.h"

#include <cstdlib>

namespace modlink {

std::chrono::milliseconds baseTimeout() {
    const char* e = std::getenv("MODLINK_TIMEOUT_MS");
    long v = e ? std::strtol(e, nullptr, 10) : 0;
    if (v < 50 || v > 600000) v = 5000;
    return std::chrono::milliseconds(v);
}

std::chrono::milliseconds sendTimeout() {
    const char* e = std::getenv("MODLINK_SEND_TIMEOUT_MS");
    long v = e ? std::strtol(e, nullptr, 10) : 0;
    if (v < 50 || v > 600000) v = 60000;
    return std::chrono::milliseconds(v);
}

std::chrono::milliseconds ringGap() {
    const char* e = std::getenv("MODLINK_RING_GAP_MS");
    long v = e ? std::strtol(e, nullptr, 10) : 0;
    if (v < 50 || v > 600000) v = 8000;
    return std::chrono::milliseconds(v);
}

}  // namespace modlink
