// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

namespace platform {

// A desktop notification: a short title and a body, both UTF-8 plain text
// (markup characters already escaped), and an icon name of the theme.
struct Notification {
    std::string summary;
    std::string body;
    std::string icon;
};

// Shows notifications on the desktop. Showing never blocks and never fails
// loudly: without a notification service nothing is shown.
class NotificationPort {
public:
    virtual ~NotificationPort() = default;
    virtual void notify(const Notification& n) = 0;
};

}  // namespace platform
