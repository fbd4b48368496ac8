// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

namespace msgdesk {

// What the PIN dialog shows: the device, which code it asks for and why.
struct SimCodePrompt {
    int device = 0;
    bool puk = false;    // asks for the PUK and a new PIN
    std::string code;    // "SIM PIN", "SIM PUK", "PH-SIM PIN"
    int triesLeft = -1;  // -1: the modem did not tell
    bool wrong = false;  // the last code given was wrong
    // The dialog's texts (UTF-8).
    std::string message;
    std::string triesText;  // empty when the tries are unknown
};

// What the user typed: the PIN, or the PUK and the new PIN.
struct SimCode {
    std::string pin;
    std::string newPin;
};

}  // namespace msgdesk
