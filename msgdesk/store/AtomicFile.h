// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <filesystem>
#include <string>
#include <string_view>

namespace msgdesk {

// Writes bytes to path so that the old file or the whole new one is there,
// never a part: a temporary file beside it, written, synced, renamed into
// place, the folder synced. On failure returns false with the system's
// reason in error (UTF-8) and leaves path as it was. An exported file is
// the user's (readable as any new file of theirs); a private one (messages
// kept by the program) is 0600 in a 0700 folder whatever the umask.
enum class FileAccess { Exported, Private };
bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string& error, FileAccess access = FileAccess::Exported);

// Reads a whole file; false with the reason in error.
bool readWholeFile(const std::filesystem::path& path, std::string& bytes, std::string& error);

}  // namespace msgdesk
