// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

#include "platform/MessageLoop.h"

namespace msgdesk {

// A compose request (UM_COMPOSE) as the main frame reads it.
struct ComposeRequest {
    int mode = 1;              // 1 recipient number, 2 message text, 3 draft
    std::string text;          // mode 1: the number; mode 2: the message text
    std::string draftNumber;   // mode 3
    std::string draftContact;  // mode 3
    std::string draftText;     // mode 3
};

// The UM_COMPOSE message for mode 1 or 2: wParam points to the GBK text,
// which the payload (a std::shared_ptr<std::string>) owns.
platform::Message MakeComposeRequest(std::string text, int mode);

// The UM_COMPOSE message for editing a draft (mode 3). The three fields
// travel separately in the payload, so a contact name holding a comma
// reaches the dialog whole; wParam still points to the comma-joined form
// "number,contact,text" for readers of the plain text.
platform::Message MakeDraftRequest(std::string number, std::string contact, std::string text);

// Reads a UM_COMPOSE message. A mode-3 request that was not made by
// MakeDraftRequest is split at its first two commas; a null wParam is an
// empty text.
ComposeRequest ReadComposeRequest(const platform::Message& m);

}  // namespace msgdesk
