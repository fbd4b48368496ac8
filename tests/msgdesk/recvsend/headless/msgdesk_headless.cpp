// SPDX-License-Identifier: GPL-3.0-or-later
// The main frame's core without a window, driven over standard input: for
// end-to-end runs, the reliability run (killed at random moments) and the
// send pump benchmark. It binds the real device library (MODLINK_LIBRARY,
// MODLINK_PORTS) and keeps its mailboxes below the directory it is given.
//
// Commands, one a line:
//   compose NUMBER TEXT   one OutBox row to NUMBER (TEXT as GBK bytes)
//   status                prints "status ready=R link=L inbox=I outbox=O sent=S sim=C
//                         sending=B pending=P"
//   dump                  prints "sim DEVICE NUMBER TEXT" per SIM-resident
//                         copy, then "end"
//   quit                  closes in order (disconnect, saves) and exits
//   script/new/draft/rows the compose dialog, scripted (HeadlessCompose.h)
//   simlist/simdelete/centre/properties/centres/boxes  the device dialogs,
//                         scripted (HeadlessDialogs.h)
// It prints "ready" once the devices are connected and their SIMs listed.
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "HeadlessCompose.h"
#include "HeadlessDialogs.h"
#include "platform/Clock.h"
#include "platform/ManualMessageLoop.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "shell/MainFrameCore.h"

namespace {

// Message boxes answer themselves and are reported on standard error.
struct LoggingMessageBox final : platform::MessageBoxPort {
    std::vector<unsigned> shown;
    int show(const platform::MessageBoxRequest& r) override {
        shown.push_back(r.stringId);
        std::fprintf(stderr, "messagebox %u %s\n", r.stringId, r.text.c_str());
        return r.buttons == platform::MbButtons::YesNo ||
                       r.buttons == platform::MbButtons::YesNoCancel
                   ? platform::IDYES
                   : platform::IDOK;
    }
};

bool readLine(std::string& buf, std::string& line, bool& eof) {
    pollfd p{0, POLLIN, 0};
    if (::poll(&p, 1, 10) > 0) {
        char c[4096];
        const ssize_t got = ::read(0, c, sizeof c);
        if (got <= 0)
            eof = true;
        else
            buf.append(c, static_cast<size_t>(got));
    }
    const size_t nl = buf.find('\n');
    if (nl == std::string::npos) return false;
    line = buf.substr(0, nl);
    buf.erase(0, nl + 1);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::filesystem::path dir = ".";
    int saveInCard = 0;
    int resend = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--dir")) dir = argv[i + 1];
        if (!std::strcmp(argv[i], "--save-in-card")) saveInCard = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--resend")) resend = std::atoi(argv[i + 1]);
    }
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    platform::ManualMessageLoop loop;
    platform::SystemClock clock;
    LoggingMessageBox boxes;
    platform::RegistryStore reg("registry.dat");
    msgdesk::MainFrameCore core(msgdesk::MainFrameCore::Services{loop, clock, boxes, reg, "", "."});
    if (!core.create()) return 2;
    headless::installComposeScript(core);
    headless::installDialogScripts(core, &boxes.shown);
    core.settings().SaveInCard = saveInCard;
    core.settings().Resend = resend;
    core.settings().Sound = 1;

    bool ready = false;
    bool eof = false;
    bool closing = false;
    bool done = false;
    std::string buf;
    std::string line;
    auto last = std::chrono::steady_clock::now();
    while (!done) {
        // Virtual time follows the wall clock, so the frame's timers run at
        // their real periods.
        const auto now = std::chrono::steady_clock::now();
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now - last).count();
        if (ms > 0) {
            loop.advance(ms);
            last = now;
        }
        loop.runUntilIdle();
        if (!ready && core.hasLink() && core.link().linkActive() &&
            core.link().simInitCount() == 0) {
            ready = true;
            std::printf("ready\n");
        }
        if (closing) continue;
        if (!readLine(buf, line, eof)) {
            if (eof)
                line = "quit";
            else
                continue;
        }
        if (headless::composeCommand(core, line) || headless::dialogCommand(core, line)) {
            // The scripted compose dialog (HeadlessCompose.h).
        } else if (line.rfind("compose ", 0) == 0) {
            const std::string rest = line.substr(8);
            const size_t sp = rest.find(' ');
            msgdesk::MessageRecord r;
            r.setNumber(rest.substr(0, sp));
            r.setText(sp == std::string::npos ? "" : rest.substr(sp + 1));
            const platform::LocalTime t = clock.localNow();
            char date[64];
            char time[64];
            std::snprintf(date, sizeof date, "%04d-%02d-%02d", t.year, t.month, t.day);
            std::snprintf(time, sizeof time, "%02d:%02d:%02d", t.hour, t.minute, t.second);
            r.setDate(date);
            r.setTime(time);
            core.sendPump().appendComposed({r});
        } else if (line == "status") {
            auto& s = core.store();
            std::printf(
                "status ready=%d link=%d inbox=%d outbox=%d sent=%d sim=%d sending=%d "
                "pending=%zu\n",
                ready ? 1 : 0, core.hasLink() && core.link().linkActive() ? 1 : 0,
                s.box(msgdesk::InBox).size(), s.box(msgdesk::OutBox).size(),
                s.box(msgdesk::SentBox).size(), s.simCache().size(),
                core.sendPump().sendBatchRunning() ? 1 : 0,
                core.hasLink() ? core.link().pending().count() : 0u);
        } else if (line == "dump") {
            for (const auto& r : core.store().simCache().records())
                std::printf("sim %d %s %s\n", r.Icon, r.number().c_str(), r.text().c_str());
            std::printf("end\n");
        } else if (line == "quit") {
            closing = true;
            core.close([&] { done = true; });
        }
    }
    std::printf("closed\n");
    return 0;
}
