// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/RegistryText.h"

namespace platform {

enum class Hive { CurrentUser, LocalMachine };

// A registry hive kept in one regedit-style text file. Key paths use '\' and
// are compared without regard to ASCII case; value names likewise. Every
// change locks the file, re-reads it, applies the change and renames a fresh
// copy into place, so two programs writing at once lose nothing. A file that
// cannot be parsed is moved aside (reported on stderr) and the hive starts
// empty.
class RegistryStore final {
public:
    explicit RegistryStore(std::filesystem::path file);

    // The file of a hive: $XDG_CONFIG_HOME/kelvo/ (or ~/.config/kelvo/), or
    // the directory named by KELVO_REGISTRY_DIR.
    static std::filesystem::path defaultPath(Hive hive);
    static RegistryStore& forHive(Hive hive);

    bool keyExists(const std::string& key);
    bool createKey(const std::string& key);
    // Deletes a key and everything below it.
    bool deleteKey(const std::string& key);
    // Name of the index-th direct subkey, in the order they were created.
    std::optional<std::string> enumSubKey(const std::string& key, size_t index);
    std::optional<RegValue> queryValue(const std::string& key, const std::string& name);
    bool setValue(const std::string& key, const std::string& name, const RegValue& v);
    bool deleteValue(const std::string& key, const std::string& name);

    std::optional<uint32_t> getDword(const std::string& key, const std::string& name);
    bool setDword(const std::string& key, const std::string& name, uint32_t v);
    // Reads a REG_SZ up to its first NUL (or its end when stored without one).
    std::optional<std::string> getString(const std::string& key, const std::string& name);
    bool setString(const std::string& key, const std::string& name, const std::string& s);

    const std::filesystem::path& file() const { return m_file; }

    using Node = RegistryNode;

private:
    template <class F>
    auto withLock(bool write, F&& f);
    void loadLocked();
    bool saveLocked();

    std::filesystem::path m_file;
    std::unique_ptr<Node> m_root;
    std::filesystem::file_time_type m_loadedTime{};
    uintmax_t m_loadedSize = static_cast<uintmax_t>(-1);
};

}  // namespace platform
