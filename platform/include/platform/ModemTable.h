// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace platform::usb {

// One known USB modem: which of its interfaces carry AT commands (probed in
// this order; empty: every serial interface, in order) and which one
// carries the data call (absent: its first serial interface).
struct KnownModem {
    uint16_t vendor = 0;
    uint16_t product = 0;
    std::vector<int> atInterfaces;
    std::optional<int> dataInterface;
    std::string name;  // maker and model, for people
};

// The table of known modems, read from the text file shipped beside the
// device library (modems.table). One modem a line:
//
//   12d1:1001  at=2,1  data=0  Huawei E169/E1550
//
// vendor:product in hex, "at=" interface numbers in decimal (or "any"),
// optional "data=", then the name. '#' starts a comment. A line that does
// not parse is skipped and named in errors(); the first line of a
// vendor:product wins.
class ModemTable final {
public:
    static constexpr std::size_t kMaxLine = 512;
    static constexpr int kMaxInterface = 31;

    ModemTable() = default;
    static ModemTable parse(const std::string& text);
    // An unreadable file gives an empty table and one error.
    static ModemTable load(const std::filesystem::path& file);
    // MODLINK_MODEM_TABLE when set; else modems.table beside the code
    // that asks (the library, or a program in the build tree), else in the
    // installed library folder.
    static std::filesystem::path defaultPath();
    static ModemTable loadDefault() { return load(defaultPath()); }

    const KnownModem* find(uint16_t vendor, uint16_t product) const;
    const std::vector<KnownModem>& modems() const { return m_modems; }
    const std::vector<std::string>& errors() const { return m_errors; }

private:
    std::vector<KnownModem> m_modems;
    std::vector<std::string> m_errors;
};

}  // namespace platform::usb
