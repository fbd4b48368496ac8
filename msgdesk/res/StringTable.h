// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <initializer_list>
#include <string>

#include "platform/Format.h"

namespace msgdesk {

// The program's own texts, UTF-8, keyed by their resource ids.
enum StringId : unsigned {
    IDR_MAINFRAME = 128,
    IDS_APP_TITLE = 57344,
    IDS_PANE_50010 = 50010,
    IDS_PANE_50011 = 50011,
    IDS_PANE_50012 = 50012,
    IDS_PANE_50013 = 50013,
    IDS_PANE_50014 = 50014,
    // Shown in the message list area while no mailbox is chosen.
    IDS_LIST_WELCOME = 60100,
    // After 60009 when ModemManager would not let go of a modem.
    IDS_MANAGER_REFUSED = 60110,
};

// Text of a string id; an empty string for an unknown id.
const char* LoadStr(unsigned id);
bool HasStr(unsigned id);

// The string of id with its placeholders filled from typed arguments.
std::string FormatStr(unsigned id, std::initializer_list<platform::FormatArg> args);

}  // namespace msgdesk
