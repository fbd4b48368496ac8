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

}  // namespace modlink
