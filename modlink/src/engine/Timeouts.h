// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <chrono>

namespace modlink {

// Command time-outs. MODLINK_TIMEOUT_MS sets the base (default 5000 ms);
// tests shorten it so time-out cases run quickly.
std::chrono::milliseconds baseTimeout();
// How long AT+CMGS may take: the network answers a submitted message within
// seconds, but 3GPP TS 27.005 allows far more. MODLINK_SEND_TIMEOUT_MS
// (default 60000) lets tests shorten it.
std::chrono::milliseconds sendTimeout();
// How long an announced, unanswered call may go without a ring before the
// next ring is taken as a new call: RING repeats every few seconds while
// the phone rings. MODLINK_RING_GAP_MS (default 8000) lets tests shorten it.
std::chrono::milliseconds ringGap();

}  // namespace modlink
