#include <QApplication>
#include <cstdio>

#include "CWanmateDlg.h"
#include "QtAppSupport.h"
#include "QtMessageBox.h"
#include "QtMessageLoop.h"
#include "StoreRegistry.h"
#include "platform/HotplugMonitor.h"
#include "platform/LibudevSource.h"
#include "platform/ProgramOptions.h"
#include "platform/SysfsUsbHost.h"
#include "platform/XdgAutostart.h"
#include "res/Texts.h"

namespace {
const char kUsage[] =
    "Usage: wanmate [--version] [--help]\n"
    "The tray dialer of Zunto USB GSM modems: counts the modems plugged in,\n"
    "prepares them and dials the data connection when one is inserted.\n\n"
    "Settings: $XDG_CONFIG_HOME/kelvo/user.reg; starting with the session:\n"
    "$XDG_CONFIG_HOME/autostart/wanmate.desktop (the settings' check box).\n";
}  // namespace

int main(int argc, char** argv) {
    if (int rc = platform::answerInfoOptions(argc, argv, "wanmate", kUsage); rc >= 0) return rc;
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
