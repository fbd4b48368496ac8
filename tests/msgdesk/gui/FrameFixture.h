// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The real main window over its core on the fake device library, in a
// throwaway directory with its own registry file: where most window tests
// start.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "QtMessageLoop.h"
#include "msgdesk/FakeDeviceLibrary.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "shell/CMainFrame.h"
#include "shell/CMsgdeskApp.h"
#include "shell/MainFrameCore.h"

namespace msgdesk::guitest {

// One QApplication for the whole test program, with the resources
// registered, made on first use.
inline QApplication& app() {
    static int argc = 1;
    static char name[] = "msgdesk_gui_tests";
    static char* argv[] = {name, nullptr};
    static bool resources = false;
    if (!QApplication::instance()) new QApplication(argc, argv);
    if (!resources) InitMsgdeskResources();
    resources = true;
    return *qApp;
}

// Runs the event loop until cond holds or ms pass; the last answer of cond.
inline bool waitFor(const std::function<bool()>& cond, int ms = 3000) {
    QElapsedTimer t;
    t.start();
    while (!cond() && t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
    return cond();
}

// Runs f on the next modal dialog of type D once it shows, inside its modal
// loop (the command that opened it is still in exec()); gives up after
// giveUpMs without calling f.
template <class D>
void whenModal(std::function<void(D*)> f, int giveUpMs = 10000) {
    auto* t = new QTimer;
    auto ticks = std::make_shared<int>(0);
    const int maxTicks = giveUpMs / 20;
    QObject::connect(t, &QTimer::timeout, [t, f, ticks, maxTicks] {
        auto* d = qobject_cast<D*>(QApplication::activeModalWidget());
        if (!d && ++*ticks < maxTicks) return;
        t->stop();
        t->deleteLater();
        if (d) f(d);
    });
    t->start(20);
}

class FrameFixture : public ::testing::Test {
protected:
    explicit FrameFixture(const std::string& tag)
        : dir(std::filesystem::temp_directory_path() / (tag + "-" + std::to_string(::getpid()))) {}

    // Makes the core (one attached fake device unless told otherwise) and
    // the window; seed runs after the core is created, before the window.
    void startFrame(const std::function<void()>& seed = {}) {
        app();
        std::filesystem::create_directories(dir);
        loop = new platform::QtMessageLoop(&app());
        reg = std::make_unique<platform::RegistryStore>(dir / "user.reg");
        if (devices >= 0) fake.setDeviceCount(devices);
        core = std::make_unique<MainFrameCore>(MainFrameCore::Services{
            *loop, clock, boxes, *reg, (dir / "guide.html").string(), dir, &table});
        ASSERT_TRUE(core->create());
        if (seed) seed();
        frame = std::make_unique<CMainFrame>(*core);
    }
    void TearDown() override {
        frame.reset();
        core.reset();
        delete loop;
        std::filesystem::remove_all(dir);
    }

    std::filesystem::path dir;
    int devices = 1;
    platform::QtMessageLoop* loop = nullptr;
    platform::SystemClock clock;
    platform::ScriptedMessageBox boxes;
    test::FakeDeviceLibrary fake;
    DeviceLibrary table = fake.table();
    std::unique_ptr<platform::RegistryStore> reg;
    std::unique_ptr<MainFrameCore> core;
    std::unique_ptr<CMainFrame> frame;
};

}  // namespace msgdesk::guitest
