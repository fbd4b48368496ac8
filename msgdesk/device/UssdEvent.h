// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

namespace msgdesk {

// A USSD answer as the library gave it (events 4101, 4102), on its way to
// the window thread.
struct UssdEvent {
    int id = -1;       // the request's command id
    std::string text;  // GBK, as the event carried it
};

}  // namespace msgdesk
