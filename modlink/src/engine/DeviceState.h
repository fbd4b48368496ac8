// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once
#include <chrono>
#include <optional>
#include <string>
#include <utility>

#include "at/CpbrParser.h"
#include "at/NameCodec.h"

namespace modlink {

// What the voice side knows of the current call, from call commands and
// unsolicited codes.
struct CallState {
    bool active = false;     // dialled, ringing or up: an end is worth reporting
    bool announced = false;  // event 769 went out for this incoming call
    bool ringSeen = false;   // a RING came, its caller id not yet
    bool answered = false;   // answered or dialled by us: no longer ringing
    std::string caller;      // from +CLIP, for an announcement that must be repeated
    // When the last RING, +CRING or +CLIP came: many modems send no final
    // code when the caller gives up while it rings, they just stop ringing.
    std::chrono::steady_clock::time_point lastRing{};
};

// What the worker knows about its modem. Touched only on the worker thread
// (requests and unsolicited handlers both run there).
// A USSD request waiting for the network's +CUSD, which follows the OK.
struct UssdState {
    bool waiting = false;
    std::optional<std::pair<int, std::string>> answer;  // status, GBK text
};

struct DeviceState {
    at::Charset charset = at::Charset::Ira;
    bool phonebookSelected = false;
    std::optional<at::PhonebookGeometry> phonebook;
    CallState call;
    std::optional<std::pair<int, int>> volumeRange;  // of AT+CLVL=?
    // What the SIM waits for before it can be used: "SIM PIN", "SIM PUK",
    // "PH-SIM PIN", or "SIM not inserted"; empty when it is ready. While
    // set, the device's requests fail at once and the settings that need
    // the SIM are not made yet.
    std::string simLock;
    std::optional<int> pinTries;  // when the modem tells them
    UssdState ussd;
};

}  // namespace modlink
