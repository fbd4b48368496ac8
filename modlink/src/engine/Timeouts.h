#pragma once
#include <chrono>

namespace modlink {

// Command time-outs. MODLINK_TIMEOUT_MS sets the base (default 5000 ms);
// tests shorten it so time-out cases run quickly.
std::chrono::milliseconds baseTimeout();

}  // namespace modlink
