#include <QApplication>

#include "QtAppSupport.h"
#include "platform/OutOfMemory.h"
#include "shell/CMainFrame.h"
#include "shell/CMsgdeskApp.h"

int main(int argc, char** argv) {
    platform::exitOnOutOfMemory();
    QApplication qapp(argc, argv);
    msgdesk::InitMsgdeskResources();
    msgdesk::CMsgdeskApp app;
    if (!app.InitInstance()) return 1;
    // The end of the desktop session (or a kill) closes the window in its
    // normal order, so mailboxes and settings are saved.
    platform::installSignalHandlers([&app] { app.mainFrame()->close(); });
    QObject::connect(&qapp, &QGuiApplication::commitDataRequest, [&app](QSessionManager&) {
        app.mainFrame()->close();
    });
    platform::armScreenshotFromEnvironment();
    return qapp.exec();
}
