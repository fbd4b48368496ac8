// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QPixmap>
#include <QWidget>

namespace wanmate {

// The start-up picture (bitmap 140): a borderless window of the picture's
// size, centred on the screen, gone after 1500 ms. One at a time.
class CSplashWindow final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kShowMs = 1500;
    // Shows the picture unless one is showing or it cannot be loaded.
    static CSplashWindow* showSplash(QWidget* owner);
    static CSplashWindow* current() { return s_current; }
    ~CSplashWindow() override;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    CSplashWindow(QPixmap picture, QWidget* owner);
    QPixmap m_picture;
    QWidget* m_owner;
    static CSplashWindow* s_current;
};

}  // namespace wanmate
