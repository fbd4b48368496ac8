// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "CWanmateDlg.h"
#include "ControlChannel.h"
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
    "       wanmate --connect [--wait] | --disconnect | --status\n"
    "The tray dialer of Zunto USB GSM modems: counts the modems plugged in,\n"
    "prepares them and dials the data connection when one is inserted.\n\n"
    "To the running dialer: --connect dials as its menu does (exit 0 when the\n"
    "dial starts, 1 when refused; with --wait 0 once connected, 1 when it\n"
    "failed); --disconnect hangs up; --status prints the state. Without a\n"
    "running dialer each says so and exits 1.\n\n"
    "Settings: $XDG_CONFIG_HOME/kelvo/user.reg; starting with the session:\n"
    "$XDG_CONFIG_HOME/autostart/wanmate.desktop (the settings' check box).\n";
// --connect [--wait], --disconnect, --status: asks the running dialer and
// returns the exit status; -1 when the command line asks none of them.
int commandLineRequest(int argc, char** argv) {
    std::optional<wanmate::ControlRequest> request;
    bool wait = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--wait") wait = true;
        auto set = [&](wanmate::ControlRequest r) {
            if (request && *request != r) return false;
            request = r;
            return true;
        };
        bool ok = true;
        if (a == "--connect") ok = set(wanmate::ControlRequest::Connect);
        if (a == "--disconnect") ok = set(wanmate::ControlRequest::Disconnect);
        if (a == "--status") ok = set(wanmate::ControlRequest::Status);
        if (!ok) {
            std::fprintf(stderr, "wanmate: one of --connect, --disconnect, --status at a time\n");
            return 2;
        }
    }
    if (wait && request != wanmate::ControlRequest::Connect) {
        std::fprintf(stderr, "wanmate: --wait goes with --connect\n");
        return 2;
    }
    if (!request) return -1;
    if (wait) request = wanmate::ControlRequest::ConnectWait;
    auto runDir = platform::ras::PppConfig::fromEnvironment().runDir;
    return wanmate::runControlClient(wanmate::controlSocketIn(runDir), *request, stdout, stderr);
}
}  // namespace

int main(int argc, char** argv) {
    if (int rc = platform::answerInfoOptions(argc, argv, "wanmate", kUsage); rc >= 0) return rc;
    if (int rc = commandLineRequest(argc, argv); rc >= 0) return rc;
    platform::exitOnOutOfMemory();
    // One dialer per user: a second start ends at once and shows nothing.
    auto lock = std::make_unique<platform::InstanceLock>(wanmate::text::kMutexName);
    if (!lock->acquired()) {
        if (lock->problem().empty()) return 0;
        std::fprintf(stderr, "wanmate: %s\n", lock->problem().c_str());
        return 1;
    }

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
    // An unreadable version is told to the user by the window's start-up.
    auto read = version.read();
    int osFamily = read ? platform::osFamilyOf(*read) : 2;
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
    why.clear();
    if (!dlg.startControl(
            wanmate::controlSocketIn(ras.config().runDir), [&ras] { return ras.linkInfo(); }, &why))
        std::fprintf(stderr, "wanmate: the command line cannot reach this dialer: %s\n",
                     why.c_str());
    platform::installSignalHandlers([] { QApplication::exit(0); });
    platform::armScreenshotFromEnvironment();
    int rc = app.exec();
    monitor.stop();
    return rc;
}
