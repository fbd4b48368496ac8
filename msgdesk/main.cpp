// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QSocketNotifier>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>
#include <thread>

#include "QtAppSupport.h"
#include "platform/Clock.h"
#include "platform/OutOfMemory.h"
#include "platform/ProgramOptions.h"
#include "shell/CMainFrame.h"
#include "shell/CMsgdeskApp.h"
#include "shell/CMsgdeskBus.h"
#include "shell/DataFolder.h"
#include "shell/InstanceLock.h"
#include "shell/MainFrameCore.h"
#include "shell/ScriptChannel.h"
#include "shell/ScriptSend.h"

namespace {
const char kUsage[] =
    "Usage: msgdesk [--version] [--help]\n"
    "       msgdesk --send NUMBER TEXT|-\n"
    "The SMS centre of Zunto USB GSM modems: mailboxes, sending, receiving,\n"
    "contacts, SIM phonebooks and voice calls.\n\n"
    "--send puts one message in the OutBox of the Msgdesk running on the data\n"
    "folder, which sends it; with none running it goes into the OutBox file\n"
    "and is sent at the next start. TEXT is in the locale's encoding; - reads\n"
    "it from standard input. Exit status 0 done, 2 refused (number or text),\n"
    "1 failed. A second start on the same data folder shows the running window.\n\n"
    "Files: mailboxes and contacts in $XDG_DATA_HOME/kelvo/msgdesk/data (backups\n"
    "in .../backup; the current directory when run from a build tree), settings\n"
    "in $XDG_CONFIG_HOME/kelvo/user.reg.\n"
    "Environment: MODLINK_PORTS=PORT,... extra serial ports or tcp:HOST:PORT,\n"
    "MODLINK_USB=0 no USB discovery, MODLINK_TRACE=FILE AT trace for a report.\n";

int runSendCommand(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    if (argc != 4) {
        std::fputs("msgdesk: usage: msgdesk --send NUMBER TEXT|-\n", stderr);
        return 2;
    }
    std::string text = argv[3];
    if (text == "-") {
        // From standard input, so the text stays out of the process list; a
        // final line break is the shell's, not the message's.
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        if (!text.empty() && text.back() == '\n') text.pop_back();
        if (!text.empty() && text.back() == '\r') text.pop_back();
    }
    const auto number = msgdesk::script::localeTextToGbk(argv[2]);
    const auto textGbk = msgdesk::script::localeTextToGbk(text);
    if (!number || !textGbk) {
        std::fputs("msgdesk: the number or the text is not valid text of this locale\n", stderr);
        return 2;
    }
    platform::SystemClock clock;
    const msgdesk::script::Outcome out =
        msgdesk::script::runSend(msgdesk::MsgdeskDataRoot(), *number, *textGbk, clock);
    std::fputs((out.message + "\n").c_str(), out.exitCode == 0 ? stdout : stderr);
    return out.exitCode;
}

// Another Msgdesk holds the folder: it shows its window and this one ends.
// False when it did not answer within the wait (it may be just closing).
bool raiseRunning(msgdesk::InstanceLock& lock, const std::filesystem::path& root) {
    for (int i = 0; i < 50; ++i) {
        if (lock.tryLock()) return false;
        if (msgdesk::ScriptChannel::ask(root, msgdesk::script::kRaise, 2000)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return !lock.tryLock();
}
}  // namespace

int main(int argc, char** argv) {
    // First, so a message text such as "--help" is sent, not answered.
    if (argc >= 2 && std::string(argv[1]) == "--send") return runSendCommand(argc, argv);
    if (int rc = platform::answerInfoOptions(argc, argv, "msgdesk", kUsage); rc >= 0) return rc;
    platform::exitOnOutOfMemory();
    const std::filesystem::path root = msgdesk::MsgdeskDataRoot();
    // Two programs on one folder would overwrite each other's mailboxes.
    msgdesk::InstanceLock lock(root);
    if (!lock.tryLock()) {
        if (raiseRunning(lock, root)) {
            std::printf("msgdesk: already running on %s; its window is shown\n", root.c_str());
            return 0;
        }
        if (!lock.held()) {
            std::fprintf(stderr, "msgdesk: %s is in use by a Msgdesk that does not answer\n",
                         root.c_str());
            return 1;
        }
    }
    QApplication qapp(argc, argv);
    msgdesk::InitMsgdeskResources();
    msgdesk::CMsgdeskApp app;
    if (!app.InitInstance()) return 1;
    // The end of the desktop session (or a kill) closes the window in its
    // normal order, so mailboxes and settings are saved.
    platform::installSignalHandlers([&app] { app.mainFrame()->close(); });
    QObject::connect(&qapp, &QGuiApplication::commitDataRequest,
                     [&app](QSessionManager&) { app.mainFrame()->close(); });

    auto send = [&app](const std::string& number, const std::string& text) {
        return app.core()->composer().sendText(number, text);
    };
    // A second start and `msgdesk --send` reach this program here.
    msgdesk::ScriptChannel channel;
    std::unique_ptr<QSocketNotifier> requests;
    if (channel.listen(root)) {
        requests = std::make_unique<QSocketNotifier>(channel.fd(), QSocketNotifier::Read);
        QObject::connect(requests.get(), &QSocketNotifier::activated, [&] {
            channel.serveOne([&](const std::string& line) {
                return msgdesk::script::answer(line, send,
                                               [&app] { app.mainFrame()->raiseWindow(); });
            });
        });
    }
    msgdesk::CMsgdeskBus bus(send);
    bus.registerOnSessionBus();
    platform::armScreenshotFromEnvironment();
    const int rc = qapp.exec();
    requests.reset();
    return rc;
}
