// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtAppSupport.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QPixmap>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {
int g_sigFd[2] = {-1, -1};

void onPosixSignal(int) {
    char c = 1;
    // Only async-signal-safe work here: wake the GUI thread.
    [[maybe_unused]] ssize_t n = ::write(g_sigFd[0], &c, 1);
}
}  // namespace

void installSignalHandlers(std::function<void()> onSignal) {
    if (g_sigFd[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, g_sigFd) != 0) return;
    auto* notifier = new QSocketNotifier(g_sigFd[1], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [onSignal] {
        char c;
        [[maybe_unused]] ssize_t n = ::read(g_sigFd[1], &c, 1);
        onSignal();
    });
    struct sigaction sa {};
    sa.sa_handler = onPosixSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGHUP, &sa, nullptr);
}

bool grabWindowsToPng(const QString& path) {
    int n = 0;
    bool ok = true;
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows) {
        if (!w->isVisible() || w->width() < 2) continue;
        QString file = path;
        if (n > 0) file.replace(QLatin1String(".png"), QStringLiteral("-%1.png").arg(n));
        ok = w->grab().save(file, "PNG") && ok;
        std::fprintf(stderr, "screenshot: %s (%dx%d) -> %s\n",
                     w->windowTitle().toUtf8().constData(), w->width(), w->height(),
                     file.toUtf8().constData());
        ++n;
    }
    return ok && n > 0;
}

void armScreenshotFromEnvironment() {
    const char* path = std::getenv("ZUNTO_SCREENSHOT");
    if (!path || !*path) return;
    const char* d = std::getenv("ZUNTO_SCREENSHOT_DELAY_MS");
    int delay = d ? std::atoi(d) : 1500;
    QString file = QString::fromLocal8Bit(path);
    QTimer::singleShot(delay, qApp, [file] {
        grabWindowsToPng(file);
        QApplication::closeAllWindows();
        QApplication::exit(0);
    });
}

}  // namespace platform
