// SPDX-License-Identifier: GPL-3.0-or-later
// Filters a 100 000-message InBox as the user types in the find bar and
// prints the time of each keystroke. Goal: under 50 ms per keystroke.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "platform/ManualMessageLoop.h"
#include "store/MailboxStore.h"
#include "store/MessageFinder.h"

using namespace msgdesk;
namespace fs = std::filesystem;

namespace {

double msSince(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

// A message text of mixed ASCII words and GBK characters, 40..159 bytes.
std::string randomText(std::mt19937& rng) {
    static const char* words[] = {"meeting",  "Lunch", "ok",     "see you",
                                  "tomorrow", "PRICE", "call me"};
    static const char* gbk[] = {"\xD6\xD0", "\xB9\xFA", "\xC3\xF7",
                                "\xCC\xEC", "\xBF\xAA", "\xBB\xE1"};
    std::string t;
    const size_t len = 40 + rng() % 120;
    while (t.size() + 9 < len) {
        if (rng() % 2)
            t += words[rng() % 7];
        else
            t += gbk[rng() % 6];
        t += ' ';
    }
    return t;
}

}  // namespace

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::atoi(argv[1]) : 100000;
    std::string tmpl = (fs::temp_directory_path() / "find-bench-XXXXXX").string();
    fs::path dir = mkdtemp(tmpl.data());
    platform::ManualMessageLoop loop;
    MailboxStore store(loop, dir, [](platform::Message) {});
    std::mt19937 rng(11);
    std::vector<MessageRecord> recs(static_cast<size_t>(n));
    char buf[32];
    for (int i = 0; i < n; ++i) {
        MessageRecord& r = recs[static_cast<size_t>(i)];
        std::snprintf(buf, sizeof buf, "138%08u", static_cast<unsigned>(rng() % 100000000));
        r.setNumber(buf);
        r.setContact(i % 3 ? "" : "\xD5\xC5\xC8\xFD");  // 张三
        r.setText(randomText(rng));
        r.setDate("2026-12-07");
        r.setTime("10:00:00");
    }
    store.box(InBox).append(recs);
    MessageList list(store, loop, MessageListPorts{});
    list.ShowMailbox(InBox);
    MessageFinder finder(list);

    double worst = 0;
    auto type = [&](const char* utf8, const char* what) {
        auto t0 = std::chrono::steady_clock::now();
        finder.setText(utf8);
        double ms = msSince(t0);
        worst = std::max(worst, ms);
        std::printf("  %-26s %8.2f ms  %6d rows\n", what, ms, finder.count());
    };
    std::printf("find over %d messages, one keystroke each:\n", n);
    for (const char* s : {"m", "me", "mee", "meet", "meeti", "meetin", "meeting"}) type(s, s);
    type("", "(cleared)");
    type("q", "q (no row matches)");
    type("\xE5\x9B\xBD", "GBK character");
    type("", "(cleared)");
    type("138", "138 (number)");
    type("1385", "1385");
    type("13856", "13856");
    finder.setText("");
    auto t0 = std::chrono::steady_clock::now();
    finder.setAllMailboxes(true);
    std::printf("  %-26s %8.2f ms  %6d rows\n", "all mailboxes, no text", msSince(t0),
                finder.count());
    type("z", "all mailboxes, z");
    std::printf("worst keystroke: %.2f ms (goal 50 ms)\n", worst);
    fs::remove_all(dir);
    return worst < 50 ? 0 : 1;
}
