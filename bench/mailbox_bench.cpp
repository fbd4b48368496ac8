// SPDX-License-Identifier: GPL-3.0-or-later
// Loads, saves and sorts a 100 000-message InBox and prints the figures.
// Goals: load and save each under 150 ms, sort by date under 200 ms, memory
// under 3 times the file size.
#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "store/Mailbox.h"
#include "store/MailboxFiles.h"

using namespace msgdesk;
namespace fs = std::filesystem;

namespace {

double msSince(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

size_t heapInUse() {
    return mallinfo2().uordblks + mallinfo2().hblkhd;
}

long rssKb() {
    std::ifstream f("/proc/self/statm");
    long pages = 0, resident = 0;
    f >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

}  // namespace

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::atoi(argv[1]) : 100000;
    std::string tmpl = (fs::temp_directory_path() / "mailbox-bench-XXXXXX").string();
    fs::path dir = mkdtemp(tmpl.data());
    fs::path file = MailboxFilePath(dir, InBox);

    {  // A file of n messages with scattered dates and times, GBK texts.
        Mailbox seed(InBox);
        std::mt19937 rng(7);
        std::vector<MessageRecord> recs(static_cast<size_t>(n));
        char buf[32];
        for (int i = 0; i < n; ++i) {
            MessageRecord& r = recs[static_cast<size_t>(i)];
            std::snprintf(buf, sizeof buf, "139%08d", static_cast<int>(rng() % 100000000));
            r.setNumber(buf);
            r.setContact("\xd5\xc5\xc8\xfd");  // a two-character name
            r.setText(std::string(140, 'a') + "\xc4\xe3\xba\xc3");
            std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", 2000 + static_cast<int>(rng() % 6),
                          1 + static_cast<int>(rng() % 12), 1 + static_cast<int>(rng() % 28));
            r.setDate(buf);
            std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", static_cast<int>(rng() % 24),
                          static_cast<int>(rng() % 60), static_cast<int>(rng() % 60));
            r.setTime(buf);
            r.setStatus(i % 10 == 0 ? "NEW" : "");
        }
        seed.append(recs);
        if (SaveMailbox(file, seed) != n) {
            std::fprintf(stderr, "could not write %s\n", file.c_str());
            return 1;
        }
    }
    const double fileMb = static_cast<double>(fs::file_size(file)) / (1024.0 * 1024.0);

    Mailbox box(InBox);
    size_t heap0 = heapInUse();
    long rss0 = rssKb();
    auto t0 = std::chrono::steady_clock::now();
    int loaded = LoadMailbox(file, box);
    double loadMs = msSince(t0);
    size_t heap1 = heapInUse();
    long rss1 = rssKb();

    t0 = std::chrono::steady_clock::now();
    int saved = SaveMailbox(file, box);
    double saveMs = msSince(t0);

    t0 = std::chrono::steady_clock::now();
    box.sortBy(ColDate, true);
    double sortMs = msSince(t0);
    t0 = std::chrono::steady_clock::now();
    box.sortBy(ColDate, false);
    double sortDescMs = msSince(t0);
    t0 = std::chrono::steady_clock::now();
    box.sortBy(ColText, true);
    double sortTextMs = msSince(t0);

    const double heapMb = static_cast<double>(heap1 - heap0) / (1024.0 * 1024.0);
    std::printf("messages            %d loaded, %d saved\n", loaded, saved);
    std::printf("file size           %.1f MB\n", fileMb);
    std::printf("load                %.1f ms   (goal < 150)\n", loadMs);
    std::printf("save (with fsync)   %.1f ms   (goal < 150)\n", saveMs);
    std::printf("sort by date asc    %.1f ms   (goal < 200)\n", sortMs);
    std::printf("sort by date desc   %.1f ms\n", sortDescMs);
    std::printf("sort by text        %.1f ms\n", sortTextMs);
    std::printf("memory of the rows  %.1f MB heap = %.2f x file  (goal < 3)\n", heapMb,
                heapMb / fileMb);
    std::printf("resident growth     %.1f MB\n", static_cast<double>(rss1 - rss0) / 1024.0);

    std::error_code ec;
    fs::remove_all(dir, ec);
    return 0;
}
