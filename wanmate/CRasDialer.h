// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <functional>
#include <string>

#include "RegistryPort.h"
#include "platform/MessageBox.h"
#include "platform/OsVersion.h"
#include "platform/ras/Ras.h"

namespace wanmate {

enum class ConnectionStatus { NotConnected = 0, Dropped = 1, Connected = 2 };

constexpr const char* kEntryName = "KelvoZunto";
// Options of the entry: default gateway on the far end, modem lights,
// software compression; specific name servers when a DNS address is given.
constexpr platform::ras::DWORD kEntryOptions = 0x310;
constexpr platform::ras::DWORD kEntryOptionsDns = 0x314;

// The dialer's work with the dial-up service: finds the modem's device,
// writes the entry, dials, reports whether a connection is up, hangs up.
// Destroying it never hangs up: a connection outlives the dialog that made it.
class CRasDialer final {
public:
    CRasDialer(platform::ras::RasPort& ras, RegistryPort& registry,
               platform::VersionSource& version, platform::MessageBoxPort& box);

    // Number of devices whose name contains "Kelvo"; the last one is kept.
    int FindModemDevice();
    // False (number unchanged) at 40 characters or more.
    bool SetPhoneNumber(const std::string& number);
    // False (unchanged) unless exactly 15 characters.
    bool SetDnsAddress(const std::string& dns);
    bool PrepareModem(const std::string& initCommand);
    // Deletes and rewrites the entry. The caller waits 1000 ms after a
    // success before dialling, as the service needs.
    bool CreateEntry(const std::string& name);
    // True when the service accepted the request; the outcome arrives
    // through the notifier. A refusal is shown in an error box here.
    bool Dial();
    ConnectionStatus GetConnectionStatus();
    void HangUp();
    void HangUpAll();
    // The service's text of an error; false when it has none.
    bool errorText(platform::ras::DWORD error, std::string& text) {
        return m_ras.RasGetErrorStringA(error, text);
    }
    void SetNotifier(platform::ras::RasDialFunc notifier) { m_notifier = std::move(notifier); }
    // Told of a refusal before its box shows (the box waits for the user).
    void SetRefusalHandler(std::function<void(const std::string&)> h) {
        m_onRefused = std::move(h);
    }

    bool deviceFound() const { return m_deviceFound; }
    const std::string& deviceName() const { return m_deviceName; }
    const std::string& phoneNumber() const { return m_phoneNumber; }
    const std::string& dnsText() const { return m_dnsText; }
    platform::ras::HRASCONN handle() const { return m_handle; }
    // Why the last Dial() returned false (the service's text when it
    // refused).
    const std::string& refusal() const { return m_refusal; }

    // The entry for a dial number, DNS text ("%3d.%3d.%3d.%3d") and device.
    static platform::ras::RASENTRYA makeEntry(const std::string& number, const std::string& dnsText,
                                              const std::string& deviceName);

private:
    platform::ras::RasPort& m_ras;
    RegistryPort& m_registry;
    platform::VersionSource& m_version;
    platform::MessageBoxPort& m_box;
    bool m_deviceFound = false;
    std::string m_deviceName;
    std::string m_dnsText;
    std::string m_phoneNumber;
    std::string m_entryName;
    std::string m_refusal;
    std::function<void(const std::string&)> m_onRefused;
    platform::ras::RasDialFunc m_notifier;
    platform::ras::HRASCONN m_handle = 0;
};

}  // namespace wanmate
