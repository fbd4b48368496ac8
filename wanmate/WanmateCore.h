// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "CRasDialer.h"
#include "CUsbDeviceCounter.h"
#include "DialProgress.h"
#include "DialerSettings.h"
#include "RegistryPort.h"
#include "SettingsView.h"
#include "platform/Autostart.h"
#include "platform/MessageBox.h"
#include "platform/MessageLoop.h"
#include "platform/OsVersion.h"
#include "platform/UsbHost.h"

namespace wanmate {

constexpr const char* kEnumKey = "Enum\\USBPORTS\\VID_1A7C&PID_3D41";

// What the main window needs from the machine; tests give fakes.
struct WanmateServices {
    platform::MessageLoop& loop;
    RegistryPort& registry;
    platform::usb::UsbHost& usb;
    platform::VersionSource& version;
    platform::AutostartPort& autostart;
    platform::MessageBoxPort& box;
    std::string programPath;
    // The dial-up service; without one nothing is connected or dialled.
    platform::ras::RasPort* ras = nullptr;
};

// The tray menu's items as the connection status and system family allow.
struct TrayMenuState {
    bool hangUpEnabled = false;   // 断开
    bool refreshPresent = false;  // 刷新
    bool refreshEnabled = false;
    bool operator==(const TrayMenuState&) const = default;
};
TrayMenuState trayMenuState(ConnectionStatus status, int osFamily);

// "%3d.%3d.%3d.%3d" of a packed address (first field in the top byte).
std::string dnsText(uint32_t packed);

// The main window's behaviour without the window: settings, the modem
// count and its device-change rules, the refresh command, and where a dial
// request arrives.
class WanmateCore final : public platform::MessageTarget {
public:
    WanmateCore(WanmateServices services, SettingsView& view);
    ~WanmateCore() override;

    // The window's initialisation: count the modems, start the settings,
    // read the system version. False when the version cannot be read: the
    // user has been told and the program ends.
    bool initialise();

    std::intptr_t onMessage(const platform::Message& m) override;
    void onTimer(unsigned id) override;

    void onDeviceChange(unsigned eventType);
    // "刷新": drops the device's enumeration keys so it is installed afresh.
    bool RefreshDevice();

    // A dial request (device arrival, tray menu, redial) lands here.
    void setDialRequestHandler(std::function<void()> handler) { m_onDial = std::move(handler); }

    // What a dial attempt starts from: the last count, the DNS text of the
    // address control, the init command and the number as applied.
    DialRequest dialRequest() const;
    // A temporary dialer's answers, for the tray menu and 断开.
    ConnectionStatus connectionStatus();
    TrayMenuState trayMenu();
    void hangUpAll();
    // A dialer for a progress dialog (the service must be there).
    std::unique_ptr<CRasDialer> makeDialer();
    // 退出: the settings as last applied (and the address control's DNS).
    bool exitSave() { return m_settings.SaveSettings(); }
    platform::MessageLoop& loop() { return m_services.loop; }
    platform::MessageBoxPort& box() { return m_services.box; }

    int deviceCount() const { return m_deviceCount; }
    int osFamily() const { return m_osFamily; }
    DialerSettings& settings() { return m_settings; }
    const DialerSettings& settings() const { return m_settings; }

private:
    void rescan();
    void armDial();

    WanmateServices m_services;
    DialerSettings m_settings;
    CUsbDeviceCounter m_counter;
    int m_deviceCount = 0;
    int m_osFamily = 2;
    std::function<void()> m_onDial;
};

}  // namespace wanmate
