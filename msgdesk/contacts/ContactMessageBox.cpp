// SPDX-License-Identifier: GPL-3.0-or-later
#include "contacts/ContactMessageBox.h"

#include "res/StringTable.h"

namespace msgdesk {

int ShowStringBox(platform::MessageBoxPort& box, unsigned id, platform::MbIcon icon,
                  std::initializer_list<platform::FormatArg> args, platform::MbButtons buttons) {
    platform::MessageBoxRequest r;
    r.stringId = id;
    r.text = args.size() ? FormatStr(id, args) : std::string(LoadStr(id));
    r.caption = LoadStr(IDS_APP_TITLE);
    r.icon = icon;
    r.buttons = buttons;
    return box.show(r);
}

}  // namespace msgdesk
