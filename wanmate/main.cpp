#include <QApplication>

#include "CWanmateDlg.h"
#include "QtAppSupport.h"
#include "platform/OutOfMemory.h"

int main(int argc, char** argv) {
    platform::exitOnOutOfMemory();
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    // The main window stays hidden until the user asks for the settings.
    wanmate::CWanmateDlg dlg;
    platform::installSignalHandlers([] { QApplication::exit(0); });
    platform::armScreenshotFromEnvironment();
    return app.exec();
}
