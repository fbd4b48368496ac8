// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Wanmate window over a throwaway registry, a fake sysfs tree with one
// modem on a hub and the fake dial-up layer: where the window tests start.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <memory>

#include "CWanmateDlg.h"
#include "FakeRas.h"
#include "WanmateTestSupport.h"
#include "platform/ManualMessageLoop.h"
#include "platform/MessageBox.h"
#include "platform/XdgAutostart.h"

namespace wanmate::test {

// One application for the whole test program, never destroyed: widgets'
// statics outlive the tests and must not find it gone at exit.
inline void ensureApp() {
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "wanmate_window_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

struct WanmateWindow {
    // Builds and initialises the window; false when initialising failed.
    bool open() {
        setenv("XDG_CONFIG_HOME", (dir.path() / "cfg").c_str(), 1);
        SysfsTree tree(dir.path() / "sys");
        tree.hub("usb1", 2);
        tree.modem("1-1", "ttyUSB0");
        ras.devices = {{"modem", "Kelvo Zunto Modem (ttyUSB0)"}};
        dlg = std::make_unique<CWanmateDlg>(WanmateServices{loop, reg, usb, version, autostart, box,
                                                            "/usr/local/bin/wanmate", &ras});
        if (!dlg->initialise()) return false;
        dlg->setExitHandler([this] { ++exits; });
        return true;
    }

    TempDir dir;
    FaultyRegistry reg{dir.path()};
    platform::usb::SysfsUsbHost usb{dir.path() / "sys"};
    platform::ManualMessageLoop loop;
    platform::HostVersion version;
    platform::XdgAutostart autostart{"wanmate", "KelvoZunto"};
    platform::ScriptedMessageBox box;
    FakeRas ras;
    std::unique_ptr<CWanmateDlg> dlg;
    int exits = 0;
};

}  // namespace wanmate::test
