// SPDX-License-Identifier: GPL-3.0-or-later
#include "DialerSettings.h"

#include <cstring>

#include "platform/Codepage.h"

namespace wanmate {

namespace {

using platform::RegType;

constexpr size_t kTextBuffer = 260;

// A value read into a buffer of `size` bytes: fails when it does not fit.
std::optional<std::string> readInto(RegistryPort& reg, const char* name, size_t size) {
    auto v = reg.queryValue(Hive::CurrentUser, kSettingsKey, name);
    if (!v || v->data.size() > size) return std::nullopt;
    return v->data;
}

// A 4-byte value read over the bytes of x (little-endian, as stored).
bool readDword(RegistryPort& reg, const char* name, uint32_t& x) {
    auto d = readInto(reg, name, 4);
    if (!d) return false;
    unsigned char bytes[4];
    std::memcpy(bytes, &x, 4);
    std::memcpy(bytes, d->data(), d->size());
    std::memcpy(&x, bytes, 4);
    return true;
}

// A string read into a zero-filled buffer: the text up to its first NUL,
// whether or not it was stored with one.
std::optional<std::string> readText(RegistryPort& reg, const char* name) {
    auto d = readInto(reg, name, kTextBuffer);
    if (!d) return std::nullopt;
    return d->substr(0, d->find('\0'));
}

RegValue sz(const std::string& s) {
    return RegValue{RegType::Sz, s + '\0'};
}

RegValue dword(uint32_t x) {
    std::string d(4, '\0');
    std::memcpy(d.data(), &x, 4);
    return RegValue{RegType::Dword, d};
}

// Cut to at most `limit` bytes without splitting a GBK character.
std::string cutGbk(const std::string& s, size_t limit) {
    return s.substr(0, platform::codepage::fitLength(s, limit));
}

}  // namespace

DialerSettings::DialerSettings(RegistryPort& registry, platform::AutostartPort& autostart,
                               SettingsView& view, std::string programPath)
    : m_registry(registry),
      m_autostart(autostart),
      m_view(view),
      m_programPath(std::move(programPath)) {}

std::vector<std::string> DialerSettings::numberList(const std::string& loaded) {
    std::vector<std::string> list;
    if (loaded != kDefaultNumber && loaded != kAltNumber) list.push_back(loaded);
    list.push_back(kDefaultNumber);
    list.push_back(kAltNumber);
    return list;
}

void DialerSettings::startUp() {
    m_fields = SettingsFields{};
    m_fields.dialOnInsert = 1;
    // Nothing reads the Run value back, so once the settings exist the
    // check box follows the autostart entry; otherwise a later save with it
    // cleared would silently remove the entry. A first start keeps the
    // cleared box, and its save removes any entry.
    if (m_registry.openKey(Hive::CurrentUser, kSettingsKey))
        m_fields.startWithSystem = m_autostart.present() ? 1 : 0;
    if (!LoadSettings()) {
        m_view.setAddress(0);
        m_fields.dialNumber = kDefaultNumber;
        m_fields.initCommand = kDefaultInit;
        SaveSettings();
    }
    m_view.setNumberList(numberList(m_fields.dialNumber));
    showValues();
}

bool DialerSettings::LoadSettings() {
    if (!m_registry.openKey(Hive::CurrentUser, kSettingsKey)) return false;
    if (!readDword(m_registry, "bAutorun", m_fields.dialOnInsert)) return false;
    uint32_t address = 0;
    if (!readDword(m_registry, "IP address", address)) return false;
    m_view.setAddress(address);
    m_fields.dialNumber = readText(m_registry, "Phone number").value_or("");
    auto init = readText(m_registry, "Init Command");
    m_fields.initCommand = init.value_or("");
    return init.has_value();
}

bool DialerSettings::SaveSettings() {
    if (!m_registry.createKey(Hive::CurrentUser, kSettingsKey)) return false;
    m_registry.setValue(Hive::CurrentUser, kSettingsKey, "bAutorun", dword(m_fields.dialOnInsert));
    m_registry.setValue(Hive::CurrentUser, kSettingsKey, "Phone number", sz(m_fields.dialNumber));
    m_registry.setValue(Hive::CurrentUser, kSettingsKey, "Init Command", sz(m_fields.initCommand));
    if (!m_registry.setValue(Hive::CurrentUser, kSettingsKey, "IP address",
                             dword(m_view.address())))
        return false;
    if (!m_registry.createKey(Hive::CurrentUser, kRunKey)) return false;
    // The Run value is what the system reads at log-on; on this desktop the
    // session starts programs from the autostart entry, kept in step with it.
    if (m_fields.startWithSystem) {
        bool ok = m_registry.setValue(Hive::CurrentUser, kRunKey, kRunValue, sz(m_programPath));
        return ok && m_autostart.install(m_programPath);
    }
    bool deleted = m_registry.deleteValue(Hive::CurrentUser, kRunKey, kRunValue);
    bool removed = m_autostart.remove();
    return deleted && removed;
}

void DialerSettings::RestoreDefaults() {
    m_view.setAddress(0);
    m_fields.dialNumber = kDefaultNumber;
    m_fields.initCommand = kDefaultInit;
    showValues();
}

bool DialerSettings::apply() {
    SettingsFields f = m_view.readFields();
    f.initCommand = cutGbk(f.initCommand, kInitLimit);
    f.dialNumber = cutGbk(f.dialNumber, kNumberLimit);
    f.dialOnInsert = f.dialOnInsert ? 1 : 0;
    f.startWithSystem = f.startWithSystem ? 1 : 0;
    m_fields = f;
    return SaveSettings();
}

}  // namespace wanmate
