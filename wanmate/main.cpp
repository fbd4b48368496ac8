// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <cstdio>
#include <cstring>

#include "CWanmateDlg.h"
#include "ModemPreparation.h"
#include "QtAppSupport.h"
#include "QtMessageBox.h"
#include "QtMessageLoop.h"
#include "StoreRegistry.h"
#include "platform/HotplugMonitor.h"
#include "platform/InstanceLock.h"
#include "platform/LibudevSource.h"
#include "platform/OutOfMemory.h"
#include "platform/ProgramOptions.h"
#include "platform/SysfsUsbHost.h"
#include "platform/XdgAutostart.h"
#include "platform/ras/PppRas.h"
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
    platform::exitOnOutOfMemory();
    // One dialer per user: a second start ends at once and shows nothing.
    auto lock = std::make_unique<platform::InstanceLock>(wanmate::text::kMutexName);
    if (!lock->acquired()) return 0;

    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    // The start-up picture, unless started by the session manager's
    // restore or automation switches.
    bool splash = true;
    for (int i = 1; i < argc; ++i)
        if (!std::strcmp(argv[i], "/Embedding") || !std::strcmp(argv[i], "/Automation") ||
            !std::strcmp(argv[i], "-Embedding") || !std::strcmp(argv[i], "-Automation"))
            splash = false;

    platform::QtMessageLoop loop;
    platform::QtMessageBox box;
    wanmate::StoreRegistry registry;
    platform::usb::SysfsUsbHost usb;
    platform::HostVersion version;
    platform::XdgAutostart autostart("wanmate", wanmate::text::kAppTitle, "zunto-wanmate");
    int osFamily = platform::osFamilyOf(*version.read());
    platform::ras::PppRas ras(
        platform::ras::PppConfig::fromEnvironment(), usb,
        platform::ras::RasPhonebook(platform::ras::RasPhonebook::defaultPath()),
        [&registry, osFamily](const std::string& port) {
            return wanmate::userInitForPort(registry, osFamily, port);
        });
    wanmate::CWanmateDlg dlg(
        {loop, registry, usb, version, autostart, box, platform::programFilePath(), &ras});
    box.setParent(&dlg);
    if (!dlg.initialise()) return 0;

    // Device arrival and removal reach the window thread as device-change
    // messages; without netlink the count is only taken at start.
    std::string why;
    auto source = platform::LibudevSource::open("usb", "usb_device", &why);
    if (!source) std::fprintf(stderr, "wanmate: no device events (%s)\n", why.c_str());
    platform::HotplugMonitor monitor(std::move(source), loop, &dlg.core());
    monitor.start();

    dlg.startTray(std::move(lock), splash);
    platform::installSignalHandlers([] { QApplication::exit(0); });
    platform::armScreenshotFromEnvironment();
    int rc = app.exec();
    monitor.stop();
    return rc;
}
