// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>
#include <vector>

#include "RegistryPort.h"
#include "SettingsView.h"
#include "platform/Autostart.h"

namespace wanmate {

constexpr const char* kSettingsKey = "Software\\Kelvo GPRS Info";
constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kRunValue = "Kelvo GPRS";
constexpr const char* kDefaultNumber = "*99#";
constexpr const char* kAltNumber = "*99***1#";
constexpr const char* kDefaultInit = "AT+CGDCONT=1,\"IP\",\"CMNET\"";
// Input limits of the init command edit and the dial number combo, in bytes.
constexpr size_t kInitLimit = 49;
constexpr size_t kNumberLimit = 19;

// The dialer's five settings: kept in the per-user registry, shown in the
// settings dialog. The DNS address is read from and written to the dialog's
// address control whenever it is needed.
class DialerSettings final {
public:
    DialerSettings(RegistryPort& registry, platform::AutostartPort& autostart, SettingsView& view,
                   std::string programPath);

    // Start-up: load, or on failure put the defaults in and save them; then
    // fill the number list and show the values.
    void startUp();
    bool LoadSettings();
    bool SaveSettings();
    // "默认值": defaults into the address control and the texts, then every
    // member to the controls. Nothing is saved.
    void RestoreDefaults();
    // "设置": the controls into the members (cut to the input limits), then save.
    bool apply();
    // Members to the controls.
    void showValues() { m_view.showFields(m_fields); }

    const SettingsFields& fields() const { return m_fields; }
    SettingsFields& fields() { return m_fields; }
    uint32_t dnsAddress() const { return m_view.address(); }
    // The combo box list for a loaded number.
    static std::vector<std::string> numberList(const std::string& loaded);

private:
    RegistryPort& m_registry;
    platform::AutostartPort& m_autostart;
    SettingsView& m_view;
    std::string m_programPath;
    SettingsFields m_fields;
};

}  // namespace wanmate
