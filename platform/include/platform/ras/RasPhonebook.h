// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "platform/ras/Ras.h"

namespace platform::ras {

// The dial-up phonebook: one INI section per entry holding its fields.
// Writes go to a temporary file renamed into place; a file that cannot be
// parsed is kept aside as "<file>.corrupt" and the book starts empty.
class RasPhonebook final {
public:
    explicit RasPhonebook(std::filesystem::path file) : m_file(std::move(file)) {}
    // rasphone.ini beside the registry hives (KELVO_REGISTRY_DIR, else
    // $XDG_CONFIG_HOME/kelvo).
    static std::filesystem::path defaultPath();

    std::optional<RASENTRYA> get(const std::string& name) const;
    // False when the name or a text holds a line break or a bracket the
    // file cannot carry, or the file cannot be written.
    bool put(const std::string& name, const RASENTRYA& entry);
    // False when there is no such entry.
    bool remove(const std::string& name);

    const std::filesystem::path& file() const { return m_file; }

    static std::string format(const std::map<std::string, RASENTRYA>& book);
    // nullopt when the text is not a phonebook.
    static std::optional<std::map<std::string, RASENTRYA>> parse(const std::string& text);

private:
    std::map<std::string, RASENTRYA> load() const;
    bool save(const std::map<std::string, RASENTRYA>& book) const;
    std::filesystem::path m_file;
};

}  // namespace platform::ras
