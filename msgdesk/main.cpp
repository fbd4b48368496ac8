// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>

#include "QtAppSupport.h"
#include "platform/OutOfMemory.h"
#include "platform/ProgramOptions.h"
#include "shell/CMainFrame.h"
#include "shell/CMsgdeskApp.h"

namespace {
const char kUsage[] =
    "Usage: msgdesk [--version] [--help]\n"
    "The SMS centre of Zunto USB GSM modems: mailboxes, sending, receiving,\n"
    "contacts, SIM phonebooks and voice calls.\n\n"
    "Files: mailboxes and contacts in $XDG_DATA_HOME/kelvo/msgdesk/data (backups\n"
    "in .../backup; the current directory when run from a build tree), settings\n"
    "in $XDG_CONFIG_HOME/kelvo/user.reg.\n"
    "Environment: MODLINK_PORTS=PORT,... extra serial ports or tcp:HOST:PORT,\n"
    "MODLINK_USB=0 no USB discovery, MODLINK_TRACE=FILE AT trace for a report.\n";
}  // namespace

int main(int argc, char** argv) {
    if (int rc = platform::answerInfoOptions(argc, argv, "msgdesk", kUsage); rc >= 0) return rc;
    platform::exitOnOutOfMemory();
    QApplication qapp(argc, argv);
    msgdesk::InitMsgdeskResources();
    msgdesk::CMsgdeskApp app;
    if (!app.InitInstance()) return 1;
    // The end of the desktop session (or a kill) closes the window in its
    // normal order, so mailboxes and settings are saved.
    platform::installSignalHandlers([&app] { app.mainFrame()->close(); });
    QObject::connect(&qapp, &QGuiApplication::commitDataRequest,
                     [&app](QSessionManager&) { app.mainFrame()->close(); });
    platform::armScreenshotFromEnvironment();
    return qapp.exec();
}
