// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose/CComposeIcons.h"

static void initComposeResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(compose);
        return true;
    }();
    (void)done;
}

namespace msgdesk {

QIcon ComposeIcon(int id) {
    initComposeResources();
    switch (id) {
        case 128:
            return QIcon(QStringLiteral(":/shell/app128.svg"));
        case 148:
            return QIcon(QStringLiteral(":/compose/send148.svg"));
        case 149:
            return QIcon(QStringLiteral(":/compose/save149.svg"));
        case 150:
            return QIcon(QStringLiteral(":/compose/cancel150.svg"));
        case 195:
            return QIcon(QStringLiteral(":/compose/reply195.svg"));
        case 196:
            return QIcon(QStringLiteral(":/compose/forward196.svg"));
        default:
            return {};
    }
}

}  // namespace msgdesk
