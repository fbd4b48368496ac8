// SPDX-License-Identifier: GPL-3.0-or-later
#include "CRasDialer.h"

#include <cstdlib>

#include "ModemPreparation.h"
#include "res/Texts.h"

namespace wanmate {

using namespace platform::ras;

namespace {
constexpr size_t kDeviceNameMax = 128;
constexpr size_t kPhoneNumberLimit = 40;
constexpr size_t kDnsTextLength = 15;
constexpr size_t kEntryNameLimit = 200;
}  // namespace

CRasDialer::CRasDialer(RasPort& ras, RegistryPort& registry, platform::VersionSource& version,
                       platform::MessageBoxPort& box)
    : m_ras(ras), m_registry(registry), m_version(version), m_box(box) {}

int CRasDialer::FindModemDevice() {
    std::vector<RASDEVINFOA> devices;
    if (m_ras.RasEnumDevicesA(devices) != 0 || devices.empty()) return 0;
    int count = 0;
    for (const auto& d : devices) {
        if (d.szDeviceName.find("Kelvo") == std::string::npos) continue;
        ++count;
        m_deviceName = d.szDeviceName.substr(0, kDeviceNameMax);
        m_deviceFound = true;
    }
    return count;
}

bool CRasDialer::SetPhoneNumber(const std::string& number) {
    if (number.size() >= kPhoneNumberLimit) return false;
    m_phoneNumber = number;
    return true;
}

bool CRasDialer::SetDnsAddress(const std::string& dns) {
    if (dns.size() != kDnsTextLength) return false;
    m_dnsText = dns;
    return true;
}

bool CRasDialer::PrepareModem(const std::string& initCommand) {
    return wanmate::PrepareModem(m_registry, m_version, initCommand);
}

RASENTRYA CRasDialer::makeEntry(const std::string& number, const std::string& dnsText,
                                const std::string& deviceName) {
    RASENTRYA e;
    e.dwSize = kRasEntrySize;
    e.dwfOptions = kEntryOptions;
    e.szLocalPhoneNumber = number;
    if (dnsText.size() == kDnsTextLength) {
        // Each number is right-aligned in three characters, one apart.
        int v[4];
        for (int i = 0; i < 4; ++i) v[i] = std::atoi(dnsText.substr(size_t(i) * 4, 3).c_str());
        if (v[0] || v[1] || v[2] || v[3]) {
            e.dwfOptions = kEntryOptionsDns;
            e.ipaddrDns = {uint8_t(v[0]), uint8_t(v[1]), uint8_t(v[2]), uint8_t(v[3])};
        }
    }
    e.dwFrameSize = 1500;
    e.dwfNetProtocols = RASNP_Ip;
    e.dwFramingProtocol = RASFP_Ppp;
    e.szDeviceType = "modem";
    e.szDeviceName = deviceName;
    return e;
}

bool CRasDialer::CreateEntry(const std::string& name) {
    if (name.size() >= kEntryNameLimit) return false;
    m_ras.RasDeleteEntryA(name);
    m_entryName = name;
    return m_ras.RasSetEntryPropertiesA(name, makeEntry(m_phoneNumber, m_dnsText, m_deviceName)) ==
           0;
}

bool CRasDialer::Dial() {
    m_refusal = "no modem device";
    if (!m_deviceFound) return false;
    m_refusal = "already connected";
    if (GetConnectionStatus() == ConnectionStatus::Connected) return false;
    m_refusal.clear();
    if (m_handle) {
        m_ras.RasHangUpA(m_handle);
        m_handle = 0;
    }
    HRASCONN h = 0;
    DWORD rc = m_ras.RasDialA(m_entryName, m_notifier, &h);
    if (rc == 0) {
        m_handle = h;
        return true;
    }
    std::string text;
    if (!m_ras.RasGetErrorStringA(rc, text)) text = "error " + std::to_string(rc);
    m_refusal = text;
    if (m_onRefused) m_onRefused(text);
    // No owner, and the caption a box without one gets.
    platform::MessageBoxRequest box{0, text, text::kErrorCaption, platform::MbIcon::Stop,
                                    platform::MbButtons::Ok};
    box.ownerless = true;
    m_box.show(box);
    if (h) m_ras.RasHangUpA(h);
    m_handle = 0;
    return false;
}

ConnectionStatus CRasDialer::GetConnectionStatus() {
    if (m_handle) {
        RASCONNSTATUSA s;
        s.rasconnstate = RASCS_OpenPort;
        m_ras.RasGetConnectStatusA(m_handle, s);
        if (s.rasconnstate == RASCS_Connected) return ConnectionStatus::Connected;
        m_ras.RasHangUpA(m_handle);
        m_handle = 0;
        return ConnectionStatus::Dropped;
    }
    std::vector<RASCONNA> conns;
    size_t needed = 0;
    if (m_ras.RasEnumConnectionsA(1, conns, &needed) == 0 && !conns.empty())
        return ConnectionStatus::Connected;
    return ConnectionStatus::NotConnected;
}

void CRasDialer::HangUp() {
    if (!m_handle) return;
    m_ras.RasHangUpA(m_handle);
    m_handle = 0;
}

void CRasDialer::HangUpAll() {
    std::vector<RASCONNA> conns;
    size_t needed = 0;
    m_ras.RasEnumConnectionsA(1, conns, &needed);
    if (needed == 0) return;
    if (m_ras.RasEnumConnectionsA(needed, conns, &needed) != 0) return;
    for (const auto& c : conns) m_ras.RasHangUpA(c.hrasconn);
}

}  // namespace wanmate
