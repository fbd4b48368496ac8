// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/CDialogIcons.h"

#include <QHash>
#include <QPushButton>

static void initDialogIconResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(widgets);
        return true;
    }();
    (void)done;
}

namespace msgdesk {

QIcon DialogIcon(int id) {
    static const QHash<int, QString> files = {
        {150, QStringLiteral("btn150_cancel.svg")},    {153, QStringLiteral("btn153_ok.svg")},
        {206, QStringLiteral("btn206_exit.svg")},      {207, QStringLiteral("btn207_props.svg")},
        {209, QStringLiteral("btn209_new.svg")},       {210, QStringLiteral("btn210_change.svg")},
        {128, QStringLiteral("ico128_device.svg")},    {131, QStringLiteral("ico131_contact.svg")},
        {214, QStringLiteral("ico214_phonebook.svg")},
    };
    auto it = files.constFind(id);
    if (it == files.constEnd()) return {};
    initDialogIconResources();
    return QIcon(QStringLiteral(":/widgets/widgets/") + *it);
}

QString AccessibleText(QString text) {
    text.remove(QLatin1Char('&'));
    text = text.trimmed();
    while (text.endsWith(QLatin1Char(':')) || text.endsWith(QChar(0xFF1A)) ||
           text.endsWith(QLatin1Char('*')))
        text.chop(1);
    while (text.startsWith(QLatin1Char('*'))) text.remove(0, 1);
    return text.trimmed();
}

QPushButton* MakeDialogButton(const QString& text, int iconId, QWidget* parent) {
    auto* b = new QPushButton(DialogIcon(iconId), text, parent);
    b->setAccessibleName(AccessibleText(text));
    b->setAutoDefault(false);
    return b;
}

}  // namespace msgdesk
