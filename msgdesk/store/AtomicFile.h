#pragma once
#include <filesystem>
#include <string>
#include <string_view>

namespace msgdesk {

// Writes bytes to path so that the old file or the whole new one is there,
// never a part: a temporary file beside it, written, synced, renamed into
// place, the folder synced. On failure returns false with the system's
// reason in error (UTF-8) and leaves path as it was.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string& error);

// Reads a whole file; false with the reason in error.
bool readWholeFile(const std::filesystem::path& path, std::string& bytes, std::string& error);

}  // namespace msgdesk
