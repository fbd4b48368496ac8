#include <QApplication>
#include <cstdio>

#include "CWanmateDlg.h"
#include "QtAppSupport.h"
#include "QtMessageBox.h"
#include "QtMessageLoop.h"
#include "StoreRegistry.h"
#include "platform/HotplugMonitor.h"
#include "platform/LibudevSource.h"
#include "platform/SysfsUsbHost.h"
#include "platform/XdgAutostart.h"
#include "res/Texts.h"
#include "platform/OutOfMemory.h"

int main(int argc, char** argv) {
    platform::exitOnOutOfMemory();
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);

    platform::QtMessageLoop loop;
    platform::QtMessageBox box;
    wanmate::StoreRegistry registry;
    platform::usb::SysfsUsbHost usb;
    platform::HostVersion version;
    platform::XdgAutostart autostart("wanmate", wanmate::text::kAppTitle);
    wanmate::CWanmateDlg dlg(
        {loop, registry, usb, version, autostart, box, platform::programFilePath()});
    box.setParent(&dlg);
    if (!dlg.initialise()) return 0;

    // Device arrival and removal reach the window thread as device-change
    // messages; without netlink the count is only taken at start.
    std::string why;
    auto source = platform::LibudevSource::open("usb", "usb_device", &why);
    if (!source) std::fprintf(stderr, "wanmate: no device events (%s)\n", why.c_str());
    platform::HotplugMonitor monitor(std::move(source), loop, &dlg.core());
    monitor.start();

    // Shown at start until the tray icon exists to show it from.
    dlg.show();
    platform::installSignalHandlers([] { QApplication::exit(0); });
    platform::armScreenshotFromEnvironment();
    int rc = app.exec();
    monitor.stop();
    return rc;
}
