// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtDesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QFileInfo>
#include <QStringList>
#include <QVariantMap>

namespace platform {

QtDesktopNotifier::QtDesktopNotifier(QString appName) : m_appName(std::move(appName)) {}

namespace {
// A session bus to talk to; without one, asking for it could make the bus
// library start a bus daemon of its own for the display.
bool sessionBusKnown() {
    if (qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS")) return true;
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(QString::fromLocal8Bit(runtime) + "/bus");
}
}  // namespace

void QtDesktopNotifier::notify(const Notification& n) {
    if (!sessionBusKnown()) return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.Notifications",
                                                       "/org/freedesktop/Notifications",
                                                       "org.freedesktop.Notifications", "Notify");
    QVariantMap hints;
    hints.insert("category", QStringLiteral("im.received"));
    hints.insert("desktop-entry", QStringLiteral("msgdesk"));
    call << m_appName << 0u << QString::fromStdString(n.icon) << QString::fromStdString(n.summary)
         << QString::fromStdString(n.body) << QStringList() << hints << -1;
    // No reply is awaited: a missing service must not hold the window thread.
    call.setAutoStartService(true);
    bus.asyncCall(call, 5000);
}

}  // namespace platform
