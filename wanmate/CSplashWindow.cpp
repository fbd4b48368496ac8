// SPDX-License-Identifier: GPL-3.0-or-later
#include "CSplashWindow.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include "res/Texts.h"

namespace wanmate {

CSplashWindow* CSplashWindow::s_current = nullptr;

CSplashWindow* CSplashWindow::showSplash(QWidget* owner) {
    if (s_current) return nullptr;
    QPixmap picture(":/wanmate/bmp140.svg");
    if (picture.isNull()) return nullptr;
    return new CSplashWindow(std::move(picture), owner);
}

CSplashWindow::CSplashWindow(QPixmap picture, QWidget* owner)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_picture(std::move(picture)),
      m_owner(owner) {
    s_current = this;
    setObjectName("splash");
    setAccessibleName(QString::fromUtf8(text::kAppTitle));
    setWindowTitle(QString::fromUtf8(text::kAppTitle));
    setAttribute(Qt::WA_DeleteOnClose);
    setCursor(Qt::ArrowCursor);
    setFixedSize(m_picture.deviceIndependentSize().toSize());
    if (QScreen* s = QGuiApplication::primaryScreen())
        move(s->geometry().center() - rect().center());
    show();
    repaint();
    QTimer::singleShot(kShowMs, this, [this] {
        close();
        if (m_owner) m_owner->update();
    });
}

CSplashWindow::~CSplashWindow() {
    if (s_current == this) s_current = nullptr;
}

void CSplashWindow::paintEvent(QPaintEvent*) {
    QPainter(this).drawPixmap(0, 0, m_picture);
}

}  // namespace wanmate
