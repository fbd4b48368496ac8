#include <QApplication>

#include "QtAppSupport.h"
#include "shell/CMainFrame.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    msgdesk::CMainFrame frame;
    frame.showMaximized();
    platform::installSignalHandlers([&frame] { frame.close(); });
    platform::armScreenshotFromEnvironment();
    return app.exec();
}
