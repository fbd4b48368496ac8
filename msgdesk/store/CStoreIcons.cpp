// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/CStoreIcons.h"

#include <QHash>
#include <QPainter>
#include <QSvgRenderer>

// The resources live in a static library: register them before first use.
static void initStoreResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(store);
        return true;
    }();
    (void)done;
}

namespace msgdesk {
namespace {

QPixmap render(const QString& name, QSize size = QSize(16, 16)) {
    static QHash<QString, QPixmap> cache;
    auto it = cache.constFind(name);
    if (it != cache.constEnd()) return *it;
    initStoreResources();
    QSvgRenderer svg(QStringLiteral(":/store/icons/") + name);
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    if (svg.isValid()) {
        QPainter p(&pm);
        svg.render(&p);
    }
    cache.insert(name, pm);
    return pm;
}

}  // namespace

QPixmap StoreIcon(unsigned id) {
    if (id < 131 || id > 138) return {};
    return render(QStringLiteral("box%1.svg").arg(id));
}

QPixmap RowIcon(int image) {
    if (image == 0) return render(QStringLiteral("row_message.svg"));
    if (image >= 1 && image <= 16) return render(QStringLiteral("row_device.svg"));
    if (image == 17) return render(QStringLiteral("row_failed.svg"));
    if (image == 18) return render(QStringLiteral("row_timeout.svg"));
    return {};
}

QPixmap PinIcon() {
    return render(QStringLiteral("pin.svg"), QSize(16, 15));
}

}  // namespace msgdesk
