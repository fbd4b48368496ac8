// SPDX-License-Identifier: GPL-3.0-or-later
#include "phone/CPhoneButton.h"

#include <QPainter>
#include <QPainterPath>

#include "phone/CPhonePictures.h"

namespace msgdesk {

CPhoneButton::CPhoneButton(int id, int pictureId, const QString& toolTip,
                           const QString& accessibleName, QWidget* parent)
    : QAbstractButton(parent), m_id(id), m_picture(pictureId) {
    setObjectName(QStringLiteral("ctl%1").arg(id));
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    if (!toolTip.isEmpty()) setToolTip(toolTip);
    setAccessibleName(accessibleName);
}

void CPhoneButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const bool down = isDown();
    if (!isEnabled()) p.setOpacity(0.35);
    const QRect r = rect();
    p.drawPixmap(r.translated(0, down ? 1 : 0),
                 PhonePicture(m_picture, r.size(), devicePixelRatioF()));
    if (isEnabled() && (m_hover || down)) {
        QPainterPath shape;
        shape.addRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), r.height() / 3.0,
                             r.height() / 3.0);
        p.fillPath(shape, down ? QColor(0, 0, 0, 60) : QColor(255, 255, 255, 40));
    }
}

void CPhoneButton::enterEvent(QEnterEvent* e) {
    m_hover = true;
    update();
    QAbstractButton::enterEvent(e);
}

void CPhoneButton::leaveEvent(QEvent* e) {
    m_hover = false;
    update();
    QAbstractButton::leaveEvent(e);
}

void CPhoneButton::mouseDoubleClickEvent(QMouseEvent* e) {
    QAbstractButton::mouseDoubleClickEvent(e);
    emit doubleClicked();
}

}  // namespace msgdesk
