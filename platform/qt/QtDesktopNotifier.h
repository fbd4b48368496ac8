// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

#include "platform/Notification.h"

namespace platform {

// Freedesktop notifications over the session bus
// (org.freedesktop.Notifications.Notify). Calls are asynchronous and their
// answers ignored: without a session bus or a notification service nothing
// is shown and nothing waits.
class QtDesktopNotifier final : public NotificationPort {
public:
    explicit QtDesktopNotifier(QString appName);
    void notify(const Notification& n) override;

private:
    QString m_appName;
};

}  // namespace platform
