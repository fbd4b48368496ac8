// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "platform/UsbHost.h"
#include "platform/ras/PppConfig.h"
#include "platform/ras/PppSession.h"
#include "platform/ras/Ras.h"
#include "platform/ras/RasPhonebook.h"

namespace platform::ras {

constexpr const char* kDevicePrefix = "Kelvo Zunto Modem (";

// The dial-up service on this machine, real: devices are the modems' AT
// ports (from the USB tree) and the configured extra ports; entries live in
// our phonebook file; a dial is a pppd run on the entry's port.
class PppRas final : public RasPort {
public:
    // The init command for a port ("/dev/ttyUSB0"), from the modem's driver
    // key; the dialer supplies it.
    using UserInitLookup = std::function<std::string(const std::string& port)>;

    PppRas(PppConfig config, usb::UsbHost& usb, RasPhonebook phonebook, UserInitLookup userInit);
    ~PppRas() override;

    DWORD RasEnumDevicesA(std::vector<RASDEVINFOA>& devices) override;
    DWORD RasDeleteEntryA(const std::string& entryName) override;
    DWORD RasSetEntryPropertiesA(const std::string& entryName, const RASENTRYA& entry) override;
    DWORD RasGetEntryPropertiesA(const std::string& entryName, RASENTRYA& entry) override;
    DWORD RasDialA(const std::string& entryName, RasDialFunc notifier, HRASCONN* handle) override;
    DWORD RasHangUpA(HRASCONN handle) override;
    DWORD RasEnumConnectionsA(size_t room, std::vector<RASCONNA>& out, size_t* needed) override;
    DWORD RasGetConnectStatusA(HRASCONN handle, RASCONNSTATUSA& status) override;
    bool RasGetErrorStringA(DWORD error, std::string& text) override;

    // "/dev/ttyUSB0" for "Kelvo Zunto Modem (ttyUSB0)"; empty when the name
    // is not one of ours.
    static std::string portOfDevice(const std::string& deviceName);
    static std::string deviceOfPort(const std::string& port);

    const PppConfig& config() const { return m_config; }
    // The link that is up (this run's or an earlier run's), for a status
    // report; none while only dialling.
    std::optional<PppSession::Info> linkInfo();
    // Puts back the resolv.conf the ip-up hook set aside, when no link of
    // ours is up any more (the hook's ip-down never ran: a crash, a power
    // cut). Done at start; only root may.
    void restoreNameServers();

private:
    // A link of an earlier run of ours, found by pppd's pid file.
    std::optional<RASCONNA> foreignLink();

    PppConfig m_config;
    usb::UsbHost& m_usb;
    RasPhonebook m_phonebook;
    UserInitLookup m_userInit;
    std::mutex m_mutex;
    std::map<HRASCONN, std::unique_ptr<PppSession>> m_sessions;
    // Sessions hung up but still ending; kept until then.
    std::vector<std::unique_ptr<PppSession>> m_ending;
    unsigned m_nextId = 1;
};

// Handles of links found by their pid file carry this bit beside the pid.
constexpr HRASCONN kForeignLinkBit = HRASCONN(1) << 30;

}  // namespace platform::ras
