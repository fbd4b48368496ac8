// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes as a mailbox file, as a contact book file and as a
// pending-delete journal: the readers must load whole records only, never
// read past them, and what they load must survive a save and a second load
// unchanged.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "contacts/ContactBook.h"
#include "contacts/ContactFiles.h"
#include "store/Mailbox.h"
#include "store/MailboxFiles.h"
#include "store/PendingDeleteJournal.h"

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fs::path dir =
        fs::temp_directory_path() / ("records-fuzz-" + std::to_string(::getpid()));
    fs::create_directories(dir / "data");
    const fs::path box = dir / "data" / "InBox.db";
    {
        std::ofstream out(box, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    msgdesk::Mailbox first(msgdesk::InBox);
    int n = msgdesk::LoadMailbox(box, first);
    if (n != static_cast<int>(size / 236) && n != -1) __builtin_trap();
    if (n >= 0) {
        if (msgdesk::SaveMailbox(box, first) != n) __builtin_trap();
        msgdesk::Mailbox second(msgdesk::InBox);
        if (msgdesk::LoadMailbox(box, second) != n) __builtin_trap();
        for (int i = 0; i < n; ++i)
            for (int c = 1; c <= 6; ++c)
                if (first.columnText(i, c) != second.columnText(i, c)) __builtin_trap();
    }
    msgdesk::ContactFiles files{dir};
    {
        std::ofstream out(files.file(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    msgdesk::ContactBook book;
    auto r = msgdesk::LoadContacts(book, files.file());
    if (book.size() != size / 227) __builtin_trap();
    (void)r;

    const fs::path journal = msgdesk::PendingDeleteJournal::filePath(dir / "data");
    {
        std::ofstream out(journal, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    msgdesk::PendingDeleteJournal j1(dir / "data");
    if (j1.entries().size() > size) __builtin_trap();
    for (auto& e : j1.entries()) {
        msgdesk::PendingDeleteJournal::Entry back;
        if (!msgdesk::PendingDeleteJournal::decode(msgdesk::PendingDeleteJournal::encode(e),
                                                   back) ||
            !(back == e))
            __builtin_trap();
    }
    fs::remove(journal);
    return 0;
}
