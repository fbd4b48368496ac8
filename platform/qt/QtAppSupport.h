// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <functional>

namespace platform {

// Runs onSignal on the GUI thread when SIGTERM, SIGINT or SIGHUP arrives, so
// a program closes in its normal order (and saves) when the session ends.
void installSignalHandlers(std::function<void()> onSignal);

// Developer's helper: when ZUNTO_SCREENSHOT names a file, every visible
// top-level window is rendered to PNG after ZUNTO_SCREENSHOT_DELAY_MS
// (default 1500) and the program quits. With several windows the file name
// gets -1, -2 ... before ".png".
void armScreenshotFromEnvironment();
bool grabWindowsToPng(const QString& path);

}  // namespace platform
