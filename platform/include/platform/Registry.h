#pragma once
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

enum class RegType : uint32_t { Sz = 1, Binary = 3, Dword = 4 };
enum class Hive { CurrentUser, LocalMachine };

struct RegValue {
    RegType type = RegType::Sz;
    std::string data;  // raw bytes; REG_SZ may or may not end in its NUL
};

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

    // One key: its name as first created, its values and subkeys in order.
    struct Node {
        std::string name;
        std::vector<std::pair<std::string, RegValue>> values;
        std::vector<std::unique_ptr<Node>> children;
    };

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

// Parses the text of a hive file; nullptr with an error text when it is not
// one. Exposed for tests and the fuzzer.
std::unique_ptr<RegistryStore::Node> parseRegistryText(const std::string& text, std::string* error);
std::string writeRegistryText(const RegistryStore::Node& root);

}  // namespace platform
