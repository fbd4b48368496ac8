// SPDX-License-Identifier: GPL-3.0-or-later
// What making each send result durable costs: the send pump hands a batch of
// 100 messages to a stand-in library and handles an OK for each, with a
// SentBox that already holds 0, 1 000 and 10 000 messages; every OK saves
// the SentBox and the OutBox (atomic write and fsync) before it returns.
// Prints the time per OK. Compare with a modem's own 3..6 s per message.
// Usage: send_result_bench [DIRECTORY]  (on the disk to measure; default /tmp)
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "device/DeviceTable.h"
#include "device/WindowMessages.h"
#include "platform/ManualMessageLoop.h"
#include "store/MailboxFiles.h"
#include "store/SendPump.h"

using namespace msgdesk;
namespace fs = std::filesystem;

namespace {

int g_nextId = 1000000;
int MODLINK_CALL sendStub(const char*, const char*) {
    return g_nextId++;
}

struct NullFrame final : platform::MessageTarget {
    std::intptr_t onMessage(const platform::Message&) override { return 0; }
};

MessageRecord message(int i) {
    MessageRecord r;
    r.setNumber("1390000" + std::to_string(1000 + i % 9000));
    r.setText(std::string(120, 'x') + " " + std::to_string(i));
    r.setDate("2026-12-07");
    r.setTime("10:00:00");
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path root = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path();
    const int batch = 100;
    for (int existing : {0, 1000, 10000}) {
        const fs::path dir = root / ("send_result_bench-" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir / "data");
        {
            Mailbox sent(SentBox);
            std::vector<MessageRecord> recs;
            for (int i = 0; i < existing; ++i) recs.push_back(message(i));
            sent.append(recs);
            SaveMailbox(MailboxFilePath(dir, SentBox), sent);
        }
        platform::ManualMessageLoop loop;
        NullFrame frame;
        DeviceLibrary lib{};
        lib.SendSMSMessage = sendStub;
        DeviceTable devices;
        Settings settings;
        MailboxStore store(loop, dir, [](platform::Message) {});
        store.BackupMailboxes();
        SendPump pump(loop, &frame, lib, devices, store, loop.clock(), settings, {});
        std::vector<MessageRecord> rows;
        for (int i = 0; i < batch; ++i) rows.push_back(message(i));
        store.AppendMessages(rows, OutBox);

        auto t0 = std::chrono::steady_clock::now();
        const int first = g_nextId;
        pump.pump();
        const double handOverMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                .count();
        t0 = std::chrono::steady_clock::now();
        for (int id = first; id < first + batch; ++id) pump.onResult(RESULT_OK, id);
        const double okMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                .count();
        std::printf(
            "send_result_bench: SentBox of %5d: hand-over of %d %.1f ms, %.2f ms per OK "
            "(SentBox and OutBox saved), %d sent\n",
            existing, batch, handOverMs, okMs / batch, pump.sentTotal());
        fs::remove_all(dir);
    }
    return 0;
}
