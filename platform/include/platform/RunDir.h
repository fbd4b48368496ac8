// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <filesystem>
#include <string>

namespace platform {

// Run-time directories (locks, sockets, scripts a privileged program runs)
// must be ours alone: a directory someone else prepared, or a link they
// planted, would let them choose what we write or run.

// The per-user run directory for `name`: /run/<name> for root, else
// $XDG_RUNTIME_DIR/<name>, else /run/user/<uid>/<name> when that is the
// user's own, else /tmp/<name>-<uid>.
std::filesystem::path userRunDir(const std::string& name);

// Makes `dir` (mode 0700; missing parents too) or accepts it when lstat
// shows a real directory, owned by us, of mode 0700. False with a sentence
// saying why otherwise.
bool ensurePrivateDir(const std::filesystem::path& dir, std::string* why = nullptr);

// Creates a new file 0600 that did not exist (O_CREAT|O_EXCL|O_NOFOLLOW);
// -1 with errno set when the name is taken, a link included.
int createNewFile(const std::filesystem::path& path);

// Writes `content` to a fresh file beside `path` and renames it over
// `path`: never writes through a link that stands there.
bool replaceFile(const std::filesystem::path& path, const std::string& content);

}  // namespace platform
