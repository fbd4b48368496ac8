// SPDX-License-Identifier: GPL-3.0-or-later
#include "phone/CPhonePictures.h"

#include <QHash>
#include <QPainter>
#include <QSvgRenderer>

static void initPhoneResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(phone);
        return true;
    }();
    (void)done;
}

namespace msgdesk {

QPixmap PhonePicture(int id, QSize size, qreal ratio) {
    initPhoneResources();
    static QHash<QString, QPixmap> cache;
    const QString key = QStringLiteral("%1:%2x%3@%4")
                            .arg(id)
                            .arg(size.width())
                            .arg(size.height())
                            .arg(qRound(ratio * 100));
    auto it = cache.constFind(key);
    if (it != cache.constEnd()) return *it;
    QPixmap pm(size * ratio);
    pm.setDevicePixelRatio(ratio);
    pm.fill(Qt::transparent);
    QSvgRenderer svg(QStringLiteral(":/phone/%1.svg").arg(id));
    if (svg.isValid()) {
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        svg.render(&p, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    cache.insert(key, pm);
    return pm;
}

}  // namespace msgdesk
