// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

namespace msgdesk {

// Command ids of the mailbox commands (menu, tool bar, popup menus).
constexpr unsigned ID_MSG_NEW = 30101;  // the compose dialog's own command
constexpr unsigned ID_MSG_REPLY = 30102;
constexpr unsigned ID_MSG_FORWARD = 30103;
constexpr unsigned ID_MSG_SELECTALL = 30104;
constexpr unsigned ID_MSG_DELETE = 30105;
constexpr unsigned ID_MSG_RESTORE = 32813;
constexpr unsigned ID_MSG_RESEND = 32833;
constexpr unsigned ID_BOX_EMPTY = 30303;
constexpr unsigned ID_MSG_CONVERSATION = 34001;

// Results of the message view dialog.
constexpr int IDC_VIEW_REPLY = 1027;
constexpr int IDC_VIEW_FORWARD = 1025;
constexpr int IDC_VIEW_CANCEL = 2;

// Modes of a compose request (UM_COMPOSE lParam).
constexpr int COMPOSE_REPLY = 1;
constexpr int COMPOSE_FORWARD = 2;
constexpr int COMPOSE_EDIT_DRAFT = 3;

// One entry of a popup menu as core decides it; id 0 is a separator.
struct MenuItem {
    unsigned id = 0;
    std::string text;  // UTF-8
    bool enabled = true;
};

// Caption of a mailbox command (UTF-8), empty for an unknown id.
const char* CommandCaption(unsigned id);

}  // namespace msgdesk
