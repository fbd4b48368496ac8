// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/StoreCommands.h"

namespace msgdesk {

const char* CommandCaption(unsigned id) {
    switch (id) {
        case ID_MSG_REPLY:
            return "回  复 (&R)";
        case ID_MSG_FORWARD:
            return "转  发 (&F)";
        case ID_MSG_SELECTALL:
            return "全  选 (&A)";
        case ID_MSG_DELETE:
            return "删  除 (&D)";
        case ID_MSG_RESTORE:
            return "还  原 (&B)";
        case ID_MSG_RESEND:
            return "重  发 (&S)";
        case ID_MSG_CONVERSATION:
            return "查看对话";
        case ID_BOX_EMPTY:
            return "清 空(&E)";
        default:
            return "";
    }
}

}  // namespace msgdesk
