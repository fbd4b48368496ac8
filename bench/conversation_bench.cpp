// SPDX-License-Identifier: GPL-3.0-or-later
// Opens the conversation window over a 100 000-message InBox and prints how
// long it takes until the window is painted. Goal: under 100 ms.
// Usage: conversation_bench [INBOX_MESSAGES] [MESSAGES_WITH_THE_NUMBER]
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QScrollBar>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "compose/CConversationDlg.h"
#include "platform/ManualMessageLoop.h"
#include "shell/CMsgdeskApp.h"
#include "store/MailboxStore.h"

using namespace msgdesk;
namespace fs = std::filesystem;

namespace {

MessageRecord message(const std::string& number, std::mt19937& rng, int i) {
    MessageRecord r;
    r.setNumber(number);
    std::string text = "message " + std::to_string(i) + ":";
    const size_t len = 20 + rng() % 130;
    while (text.size() + 2 < len) text += (rng() % 3) ? " word" : " \xD6\xD0\xCE\xC4";  // 中文
    r.setText(text);
    char d[16], t[16];
    std::snprintf(d, sizeof d, "2026-%02u-%02u", 1 + i / 10000 % 12, 1 + i / 300 % 28);
    std::snprintf(t, sizeof t, "%02u:%02u:%02u", i / 3600 % 24, i / 60 % 60, i % 60);
    r.setDate(d);
    r.setTime(t);
    return r;
}

// One opening: the window built over the mailboxes, shown and painted.
double openOnce(MailboxStore& store, const std::string& number, int& rows, bool report = false) {
    QElapsedTimer t;
    t.start();
    auto* dlg = new CConversationDlg(std::make_unique<Conversation>(
        store, number, [](const std::string&) { return std::string(); }));
    dlg->show();
    QApplication::processEvents();
    dlg->messages()->viewport()->repaint();
    const double ms = static_cast<double>(t.nsecsElapsed()) / 1e6;
    // It opens on the newest message.
    QListView* v = dlg->messages();
    const QModelIndex last = v->model()->index(v->model()->rowCount() - 1, 0);
    if (!v->viewport()->rect().intersects(v->visualRect(last)))
        std::printf("the newest message is not in view\n");
    if (report) {
        // Scrolled to the top, the next older page comes in above.
        const int before = v->model()->rowCount();
        v->verticalScrollBar()->setValue(0);
        QApplication::processEvents();
        std::printf("rows shown: %d at first, %d after scrolling to the top\n", before,
                    v->model()->rowCount());
    }
    rows = static_cast<int>(dlg->conversation().entries().size());
    delete dlg;
    QApplication::processEvents();
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InitMsgdeskResources();
    const int n = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int mine = argc > 2 ? std::atoi(argv[2]) : 1000;
    std::string tmpl = (fs::temp_directory_path() / "conversation-bench-XXXXXX").string();
    const fs::path dir = mkdtemp(tmpl.data());
    {
        platform::ManualMessageLoop loop;
        MailboxStore store(loop, dir, [](platform::Message) {});
        std::mt19937 rng(7);
        std::vector<MessageRecord> in;
        in.reserve(static_cast<size_t>(n));
        const std::string number = "+8613912345678";
        const int every = mine > 0 ? std::max(1, n / mine) : n + 1;
        char buf[32];
        for (int i = 0; i < n; ++i) {
            if (i % every == 0 && i / every < mine) {
                in.push_back(message(i % 2 ? number : "13912345678", rng, i));
                continue;
            }
            std::snprintf(buf, sizeof buf, "13%09u", static_cast<unsigned>(rng() % 1000000000));
            in.push_back(message(buf, rng, i));
        }
        store.box(InBox).append(in);
        std::vector<MessageRecord> sent;
        for (int i = 0; i < 2000; ++i)
            sent.push_back(message(i % 10 ? "13800000000" : "13912345678", rng, i * 50));
        store.box(SentBox).append(sent);

        int rows = 0;
        openOnce(store, number, rows, true);  // fonts and styles loaded once
        double best = 1e9, worst = 0, sum = 0;
        const int runs = 10;
        for (int r = 0; r < runs; ++r) {
            const double ms = openOnce(store, number, rows);
            best = std::min(best, ms);
            worst = std::max(worst, ms);
            sum += ms;
        }
        double core = 1e9;
        for (int r = 0; r < runs; ++r) {
            QElapsedTimer t;
            t.start();
            Conversation c(store, number, [](const std::string&) { return std::string(); });
            core = std::min(core, static_cast<double>(t.nsecsElapsed()) / 1e6);
        }
        std::printf("conversation_bench: InBox %d messages, SentBox %d; conversation %d messages\n",
                    n, static_cast<int>(sent.size()), rows);
        std::printf(
            "open until painted: best %.1f ms, mean %.1f ms, worst %.1f ms (goal < 100 ms)\n", best,
            sum / runs, worst);
        std::printf("of which finding and ordering the messages (core): best %.1f ms\n", core);

        // One arrival from the number while the window is open.
        auto* dlg = new CConversationDlg(std::make_unique<Conversation>(
            store, number, [](const std::string&) { return std::string(); }));
        dlg->show();
        QApplication::processEvents();
        QElapsedTimer t;
        t.start();
        store.box(InBox).append(message(number, rng, n + 1));
        QApplication::processEvents();
        std::printf("an arrival shown in an open window: %.1f ms\n",
                    static_cast<double>(t.nsecsElapsed()) / 1e6);
        delete dlg;
    }
    fs::remove_all(dir);
    return 0;
}
