// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <filesystem>
#include <functional>

#include "store/Mailbox.h"

namespace msgdesk {

// The mailbox files: MessageRecords back to back, no header; the record
// count is the file size / 236 and a shorter tail is ignored. Paths are
// "data/<Name>.db" and "backup/<Name>.db.bak" below a base directory (the
// process's current directory in the program).
std::filesystem::path MailboxFilePath(const std::filesystem::path& base, MailboxId id);
std::filesystem::path MailboxBackupPath(const std::filesystem::path& base, MailboxId id);
const char* MailboxFileName(MailboxId id);  // "InBox" ...

// Replaces the rows of box with the file's records (icon 0, Attempts empty).
// A missing file is created empty (its directory too), never truncated.
// A field that lacks its NUL is cut at a character boundary so every row
// keeps the record's contract. Returns the number of rows read, or -1 when
// the file exists but cannot be opened or a read fails (the rows read before
// the failure are kept; a caller must not save over such a file blindly).
int LoadMailbox(const std::filesystem::path& path, Mailbox& box);

// Renames an unreadable mailbox file to "<path>.unreadable-<n>" so a later
// save cannot overwrite the messages it may still hold. Returns whether it
// was moved.
bool SetAsideUnreadable(const std::filesystem::path& path);

struct SaveHooks {
    // Runs after the temporary file is written and flushed, before it is
    // renamed over the mailbox file: the seam where tests simulate a crash.
    std::function<void()> beforeRename;
};

// Writes every row (Icon 0, Attempts dropped) into "<path>.tmp", flushes it
// to disk and renames it over path, so a crash or a full disk leaves either
// the old file or the new one, never a truncated one. Creates the directory
// when missing. Returns the rows written, or -1 when the file could not be
// written (the old file is then untouched and the temporary removed).
int SaveMailbox(const std::filesystem::path& path, const Mailbox& box, const SaveHooks& hooks = {});

// Copies each existing mailbox file over its backup (through a temporary and
// a rename, creating backup/ when missing). A mailbox file that does not
// exist leaves its old backup in place; a failed copy is ignored.
void BackupMailbox(const std::filesystem::path& base, MailboxId id);

}  // namespace msgdesk
