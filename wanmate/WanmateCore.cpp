// SPDX-License-Identifier: GPL-3.0-or-later
#include "WanmateCore.h"

#include <cstdio>

#include "ModemPreparation.h"
#include "WanmateMessages.h"
#include "platform/Codepage.h"
#include "res/Texts.h"

namespace wanmate {

using platform::DBT_DEVICEARRIVAL;
using platform::DBT_DEVICEREMOVECOMPLETE;

WanmateCore::WanmateCore(WanmateServices services, SettingsView& view)
    : m_services(std::move(services)),
      m_settings(m_services.registry, m_services.autostart, view, m_services.programPath),
      m_counter(m_services.usb, platform::usb::ModemTable::loadDefault()) {}

WanmateCore::~WanmateCore() {
    m_services.loop.forget(this);
}

bool WanmateCore::initialise() {
    m_counter.ScanDevices();
    m_deviceCount = m_counter.GetDeviceCount();
    m_settings.startUp();
    auto version = m_services.version.read();
    if (!version) {
        m_services.box.show(
            {0, text::kVersionError, "", platform::MbIcon::None, platform::MbButtons::Ok});
        return false;
    }
    m_osFamily = platform::osFamilyOf(*version);
    registerModemPorts(m_services.registry, m_osFamily,
                       m_services.usb.dataPorts(m_counter.table()));
    return true;
}

void WanmateCore::rescan() {
    m_counter.ScanDevices();
    m_deviceCount = m_counter.GetDeviceCount();
    // A modem plugged in after start needs its driver key before it is dialled.
    registerModemPorts(m_services.registry, m_osFamily,
                       m_services.usb.dataPorts(m_counter.table()));
}

// The wait before a dial on insert lets the system set the modem up. It is
// a timer, so the window keeps working; a second trigger within the wait
// restarts it and still gives one dial.
void WanmateCore::armDial() {
    m_services.loop.setTimer(this, kDialDelayTimer, kDialDelayMs);
}

void WanmateCore::onDeviceChange(unsigned eventType) {
    bool dialOnInsert = m_settings.fields().dialOnInsert != 0;
    if (m_osFamily == 1) {
        if (eventType == DBT_DEVICEARRIVAL) {
            if (m_deviceCount != 0) return;
            rescan();
            if (dialOnInsert && m_deviceCount != 0) armDial();
        } else if (eventType == DBT_DEVICEREMOVECOMPLETE) {
            rescan();
        }
        return;
    }
    if (eventType == DBT_DEVICEARRIVAL && m_deviceCount != 0) return;
    int old = m_deviceCount;
    rescan();
    if (dialOnInsert && m_deviceCount > old) armDial();
}

bool WanmateCore::RefreshDevice() {
    RegistryPort& reg = m_services.registry;
    if (!reg.createKey(Hive::LocalMachine, kEnumKey)) return false;
    while (auto sub = reg.enumSubKey(Hive::LocalMachine, kEnumKey, 0)) {
        if (!reg.deleteKey(Hive::LocalMachine, std::string(kEnumKey) + "\\" + *sub)) break;
    }
    auto& f = m_settings.fields();
    if (f.dialOnInsert) {
        m_services.box.show({0, text::kRefreshDialByHand, text::kPromptCaption,
                             platform::MbIcon::Information, platform::MbButtons::Ok});
        f.dialOnInsert = 0;
        m_settings.showValues();
    } else {
        m_services.box.show({0, text::kRefreshDone, text::kPromptCaption,
                             platform::MbIcon::Information, platform::MbButtons::Ok});
    }
    return true;
}

TrayMenuState trayMenuState(ConnectionStatus status, int osFamily) {
    TrayMenuState t;
    bool up = status == ConnectionStatus::Connected;
    t.hangUpEnabled = up;
    t.refreshPresent = osFamily != 2;
    t.refreshEnabled = t.refreshPresent && !up;
    return t;
}

std::string dnsText(uint32_t packed) {
    char b[32];
    std::snprintf(b, sizeof b, "%3u.%3u.%3u.%3u", (packed >> 24) & 0xFF, (packed >> 16) & 0xFF,
                  (packed >> 8) & 0xFF, packed & 0xFF);
    return b;
}

DialRequest WanmateCore::dialRequest() const {
    const auto& f = m_settings.fields();
    // The dialog's fields hold what the settings window lets through; a
    // longer value from the registry is cut at a character boundary.
    auto cut = [](const std::string& s, size_t limit) {
        return s.substr(0, platform::codepage::fitLength(s, limit));
    };
    return {m_deviceCount, dnsText(m_settings.dnsAddress()), cut(f.initCommand, kInitLimit),
            cut(f.dialNumber, kNumberLimit)};
}

std::unique_ptr<CRasDialer> WanmateCore::makeDialer() {
    if (!m_services.ras) return nullptr;
    return std::make_unique<CRasDialer>(*m_services.ras, m_services.registry, m_services.version,
                                        m_services.box);
}

ConnectionStatus WanmateCore::connectionStatus() {
    auto d = makeDialer();
    return d ? d->GetConnectionStatus() : ConnectionStatus::NotConnected;
}

TrayMenuState WanmateCore::trayMenu() {
    return trayMenuState(connectionStatus(), m_osFamily);
}

void WanmateCore::hangUpAll() {
    if (auto d = makeDialer()) d->HangUpAll();
}

std::intptr_t WanmateCore::onMessage(const platform::Message& m) {
    if (m.msg == WM_DEVICECHANGE) {
        onDeviceChange(static_cast<unsigned>(m.wParam));
        return 1;
    }
    if (m.msg == WM_DIAL_REQUEST) {
        if (m_onDial) m_onDial();
        return 0;
    }
    return 0;
}

void WanmateCore::onTimer(unsigned id) {
    if (id != kDialDelayTimer) return;
    m_services.loop.killTimer(this, kDialDelayTimer);
    m_services.loop.post(this, WM_DIAL_REQUEST);
}

}  // namespace wanmate
