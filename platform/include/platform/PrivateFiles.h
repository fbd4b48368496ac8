// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <filesystem>

namespace platform {

// Mailboxes, contacts, backups and traces hold people's numbers and
// messages: directories we keep them in are 0700 and files 0600, whatever
// the umask, and an older, wider file is narrowed when it is next opened.

// Creates dir and its missing parents 0700 and sets dir itself to 0700 when
// we own it. True when dir is a directory afterwards.
bool makePrivateDir(const std::filesystem::path& dir);

// open(2) with mode 0600 for a new file; a file we own that is wider is set
// to 0600. Returns the descriptor or -1 (errno set).
int openPrivate(const std::filesystem::path& path, int flags);

}  // namespace platform
