// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/CDeviceIcons.h"

#include <QFont>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

static void initWidgetResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(widgets);
        return true;
    }();
    (void)done;
}

namespace msgdesk {

namespace {

QPixmap renderSvg(const QString& file) {
    initWidgetResources();
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QSvgRenderer svg(QStringLiteral(":/widgets/widgets/") + file);
    if (svg.isValid()) {
        QPainter p(&pm);
        svg.render(&p);
    }
    return pm;
}

}  // namespace

QIcon DeviceStripIcon(int image) {
    if (image < 0 || image > 16) return {};
    static QHash<int, QIcon> cache;
    auto it = cache.constFind(image);
    if (it != cache.constEnd()) return *it;
    QPixmap pm = renderSvg(image == 0 ? QStringLiteral("contact_book.svg")
                                      : QStringLiteral("contact_sim.svg"));
    if (image > 0) {
        QPainter p(&pm);
        QFont f = p.font();
        f.setPixelSize(image >= 10 ? 7 : 8);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRect(5, 7, 10, 9), Qt::AlignCenter, QString::number(image));
    }
    QIcon icon(pm);
    cache.insert(image, icon);
    return icon;
}

QIcon SimInfoStripIcon(int image) {
    if (image == 0) {
        static const QIcon device(renderSvg(QStringLiteral("contact_sim.svg")));
        return device;
    }
    if (image != 1) return {};
    static const QIcon detail = [] {
        // A small page with three text lines.
        QPixmap pm(16, 16);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setPen(QColor(90, 90, 90));
        p.setBrush(Qt::white);
        p.drawRect(3, 1, 10, 13);
        for (int y : {4, 7, 10}) p.drawLine(5, y, 11, y);
        return QIcon(pm);
    }();
    return detail;
}

}  // namespace msgdesk
