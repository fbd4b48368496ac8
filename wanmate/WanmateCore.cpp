#include "WanmateCore.h"

#include "ModemPreparation.h"
#include "WanmateMessages.h"
#include "res/Texts.h"

namespace wanmate {

using platform::DBT_DEVICEARRIVAL;
using platform::DBT_DEVICEREMOVECOMPLETE;

WanmateCore::WanmateCore(WanmateServices services, SettingsView& view)
    : m_services(std::move(services)),
      m_settings(m_services.registry, m_services.autostart, view, m_services.programPath),
      m_counter(m_services.usb) {}

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
    registerModemPorts(
        m_services.registry, m_osFamily,
        m_services.usb.serialPorts({CUsbDeviceCounter::kVendorId, CUsbDeviceCounter::kProductId}));
    return true;
}

void WanmateCore::rescan() {
    m_counter.ScanDevices();
    m_deviceCount = m_counter.GetDeviceCount();
    // A modem plugged in after start needs its driver key before it is dialled.
    registerModemPorts(
        m_services.registry, m_osFamily,
        m_services.usb.serialPorts({CUsbDeviceCounter::kVendorId, CUsbDeviceCounter::kProductId}));
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
