// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/LinkBoxes.h"

#include "res/StringTable.h"

namespace msgdesk {

int linkBox(platform::MessageBoxPort& boxes, unsigned stringId, platform::MbIcon icon,
            platform::MbButtons buttons) {
    platform::MessageBoxRequest r;
    r.stringId = stringId;
    r.text = LoadStr(stringId);
    r.caption = LoadStr(IDS_APP_TITLE);
    r.icon = icon;
    r.buttons = buttons;
    return boxes.show(r);
}

int linkBoxText(platform::MessageBoxPort& boxes, unsigned stringId, std::string text,
                platform::MbIcon icon) {
    platform::MessageBoxRequest r;
    r.stringId = stringId;
    r.text = std::move(text);
    r.caption = LoadStr(IDS_APP_TITLE);
    r.icon = icon;
    return boxes.show(r);
}

}  // namespace msgdesk
